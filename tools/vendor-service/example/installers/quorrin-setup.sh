#!/bin/sh
# Stands in for the Quorrin installer during a local try.
echo "Quorrin setup started"
