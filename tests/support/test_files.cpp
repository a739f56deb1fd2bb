#include "tests/support/test_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

#include <algorithm>

void WriteTestFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        ADD_FAILURE() << "cannot create " << path.toStdString();
        return;
    }
    if (file.write(bytes) != bytes.size()) {
        ADD_FAILURE() << "cannot write " << path.toStdString();
    }
}

QByteArray ReadTestFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "cannot read " << path.toStdString();
        return {};
    }
    return file.readAll();
}

QStringList FolderNames(const QString& folder)
{
    QStringList names =
        QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Unsorted);
    std::sort(names.begin(), names.end());  // by code unit, whatever the locale
    return names;
}

QString BuiltProgramsFolder()
{
    return QStringLiteral(TAMBORIL_BIN_DIR);
}

QString SourceFolder()
{
    return QStringLiteral(TAMBORIL_SOURCE_DIR);
}

QString PythonProgram()
{
    return QStringLiteral(TAMBORIL_PYTHON);
}

int RunProgram(const QString& program, const QStringList& arguments, QString* standardOutput,
               QString* standardError, const QByteArray& standardInput)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForStarted()) {
        ADD_FAILURE() << "cannot start " << program.toStdString();
        return -1;
    }
    if (!standardInput.isEmpty()) {
        process.write(standardInput);
    }
    process.closeWriteChannel();
    if (!process.waitForFinished(240000)) {
        ADD_FAILURE() << program.toStdString() << " did not finish";
        process.kill();
        process.waitForFinished();
        return -1;
    }
    if (standardOutput != nullptr) {
        *standardOutput = QString::fromUtf8(process.readAllStandardOutput());
    }
    if (standardError != nullptr) {
        *standardError = QString::fromUtf8(process.readAllStandardError());
    }
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}
