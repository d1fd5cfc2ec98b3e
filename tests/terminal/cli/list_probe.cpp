// list_probe [--json] DOCUMENT FIRST LAST: the listing of arvenzo-extract
// on its own, for the benchmark and for trying it by hand, with the tools
// of this build.

#include "cli/ImageListing.h"

#include <QFileInfo>
#include <iostream>
#include <string>

int main(int argc, char* argv[]) {
    int at = 1;
    const bool json = argc > at && std::string(argv[at]) == "--json";
    at += json;
    if (argc - at != 3) {
        std::cerr << "usage: list_probe [--json] DOCUMENT FIRST LAST\n";
        return 2;
    }
    const std::string tools = QFileInfo(GLIMMET_PATH).absolutePath().toStdString() + "/";
    return cli::RunListing({.document = argv[at],
                            .password = {},
                            .firstPage = std::stoi(argv[at + 1]),
                            .lastPage = std::stoi(argv[at + 2]),
                            .json = json,
                            .pictures = {}},
                           std::cout, std::cerr, tools);
}
