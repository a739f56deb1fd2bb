#pragma once

#include <QString>
#include <QTemporaryDir>

#include <memory>

// The staging root of one command-line run: a folder the caller names, kept afterwards, or a fresh
// temporary folder removed when this object goes, so that several runs can go at once. Either is
// seeded with the installation data beside the program (mimetype, META-INF) where it lacks them.
class StagingRoot {
public:
    // `chosenFolder` empty: a temporary folder.
    StagingRoot(const QString& chosenFolder, const QString& installationRoot);

    // False when the temporary folder could not be made.
    bool IsValid() const;
    QString Path() const;

private:
    std::unique_ptr<QTemporaryDir> temporary_;
    QString path_;
};
