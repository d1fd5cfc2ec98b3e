#!/bin/sh
# Stands in for the Arvenzo installer during a local try.
echo "Arvenzo setup started"
