#pragma once

#include <QString>
#include <QStringList>

// Runs tamboril-cli from the build to its end.
struct CliRun {
    int exitCode = -1;
    QString standardOutput;
    QString standardError;
};

CliRun RunCli(const QStringList& arguments, const QString& program = {});

// The built tamboril-cli.
QString CliProgram();
