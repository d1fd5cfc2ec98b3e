// vendor-service: answers Arvenzo's questions to its vendor and serves the
// installers, for trying the program's online side without the real service.

#include "ServiceConfig.h"
#include "VendorService.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("vendor-service");
    QCommandLineParser parser;
    parser.setApplicationDescription("Answers Arvenzo's vendor requests and serves installers.");
    parser.addHelpOption();
    parser.addPositionalArgument("config", "the INI file with the service's answers");
    const QCommandLineOption port("port", "listen on this port instead (0: any free one)", "port");
    parser.addOption(port);
    parser.process(app);
    if (parser.positionalArguments().size() != 1)
        parser.showHelp(2);

    vendor::Config config;
    try {
        config = vendor::ReadConfig(parser.positionalArguments().front());
        if (parser.isSet(port)) {
            bool ok = false;
            const uint value = parser.value(port).toUInt(&ok);
            if (!ok || value > 65535)
                throw vendor::ConfigError("bad --port");
            config.port = static_cast<quint16>(value);
        }
    } catch (const vendor::ConfigError& error) {
        std::fprintf(stderr, "vendor-service: %s\n", error.what());
        return 2;
    }

    vendor::Service service(config);
    QObject::connect(&service, &vendor::Service::Served, [](const QByteArray& summary) {
        std::printf("%s\n", summary.constData());
        std::fflush(stdout);
    });
    QString error;
    if (!service.Start(error)) {
        std::fprintf(stderr, "vendor-service: %s\n", qPrintable(error));
        return 1;
    }
    // The first line tells a caller that asked for any free port which one it got.
    std::printf("listening on %s:%u\n", qPrintable(config.listen), unsigned(service.Port()));
    std::fflush(stdout);
    return app.exec();
}
