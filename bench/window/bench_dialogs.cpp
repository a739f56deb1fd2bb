#include "bench/window/bench_dialogs.h"

void BenchDialogs::ShowPlainMessage(const QString&, const QString&)
{
    ++boxes;
}

bool BenchDialogs::AskInformationYesNo(const QString&, const QString&)
{
    ++boxes;
    return true;
}

void BenchDialogs::ShowError(const QString& text, const QString&)
{
    ++boxes;
    errors << text;
}

bool BenchDialogs::OpenAddress(const QUrl&)
{
    return true;
}

bool BenchDialogs::ShowFileInFolder(const QString&)
{
    return true;
}

QStringList BenchDialogs::ChoosePagePictures()
{
    return pagePictures;
}

QString BenchDialogs::ChooseCoverPicture()
{
    return {};
}

QString BenchDialogs::BrowseForFolder(const QString&)
{
    return {};
}

QString BenchDialogs::ChooseListToOpen()
{
    return {};
}

QString BenchDialogs::ChooseListToSave(const QString&)
{
    return {};
}
