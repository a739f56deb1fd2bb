#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "tests/support/qt_printers.h"

// Small file helpers shared by the tests.

// Writes bytes to a file, creating missing parent folders; fails the test when it cannot.
void WriteTestFile(const QString& path, const QByteArray& bytes);

// The whole content of a file; fails the test when it cannot be read.
QByteArray ReadTestFile(const QString& path);

// A small real JPEG picture (the repository's samples/page1.jpg) that carries `note` in a comment
// marker, so that pictures made with different notes differ, and each holds its note as written.
QByteArray SmallJpeg(const QByteArray& note = {});

// The names in a folder (files and folders, not "." and ".."), sorted by code unit.
QStringList FolderNames(const QString& folder);

// The folder that holds the built programs and the installation data beside them.
QString BuiltProgramsFolder();

// The root of the source tree.
QString SourceFolder();

// The Python interpreter the build found; the tests read our books with its zipfile module.
QString PythonProgram();

// Runs a program to its end and returns its exit code; its standard output and standard
// error are stored into the given strings when they are not null.
int RunProgram(const QString& program, const QStringList& arguments, QString* standardOutput = nullptr,
               QString* standardError = nullptr, const QByteArray& standardInput = {});

// The standard output of a program run to its end, as bytes, for programs that write binary data.
QByteArray ProgramOutput(const QString& program, const QStringList& arguments);
