#include "builder/workflow/book_entries.h"

#include "archive/file_list.h"
#include "builder/workflow/picture_content.h"

#include <QIODevice>
#include <QSet>

#include <exception>

namespace {

// Content the conversion makes itself, dated when the conversion began.
class MadeContent : public EntryContent {
public:
    explicit MadeContent(const BookMoment& made, const QString& name)
    {
        facts_.modified = made.utc.toSecsSinceEpoch();
        facts_.source = name;
    }

    const EntryFacts& Facts() const override { return facts_; }

private:
    EntryFacts facts_;
};

// A page document, made in memory: a few hundred bytes.
class PageContent final : public MadeContent {
public:
    PageContent(QByteArray text, const BookMoment& made, const QString& name)
        : MadeContent(made, name),
          text_(std::move(text))
    {}

    void WriteTo(EntryWriter& out) override { out.Write(text_.constData(), text_.size()); }

private:
    QByteArray text_;
};

// Gives what a document writer writes to its entry. A failure of the entry (the packing stopped) is kept and raised
// again once the writer is out of Qt's code, which takes it for a device that could not write.
class EntryDevice final : public QIODevice {
public:
    explicit EntryDevice(EntryWriter& out) : out_(out) { open(QIODevice::WriteOnly); }

    void RaiseFailure() const
    {
        if (failure_) {
            std::rethrow_exception(failure_);
        }
    }

protected:
    qint64 readData(char*, qint64) override { return -1; }

    qint64 writeData(const char* data, qint64 size) override
    {
        if (failure_) {
            return -1;
        }
        try {
            out_.Write(data, size);
            return size;
        } catch (...) {
            failure_ = std::current_exception();
            return -1;
        }
    }

private:
    EntryWriter& out_;
    std::exception_ptr failure_;
};

// A document of the whole book, written straight into its entry as it is built.
class DocumentContent final : public MadeContent {
public:
    DocumentContent(const BookDocument& document, const BookMoment& made)
        : MadeContent(made, document.name),
          document_(document)
    {}

    void WriteTo(EntryWriter& out) override
    {
        EntryDevice device(out);
        try {
            document_.write(device, {});
        } catch (...) {
            device.RaiseFailure();
            throw;
        }
        device.RaiseFailure();
    }

private:
    const BookDocument& document_;
};

}  // namespace

BookEntries::BookEntries(const BookFormat& format, BookPictures& book, const BookFacts& facts,
                         const QString& installationData, Holding holding)
    : format_(format),
      book_(book),
      facts_(facts),
      language_(BookLanguage(facts.settings)),
      documents_(format.Documents(facts))
{
    ListOpeningFiles(installationData);
    QSet<QString> listedPictures;
    if (book_.cover >= 0) {
        ListPicture(book_.cover, listedPictures);
    }
    for (const qsizetype picture : book_.pages) {
        ListPicture(picture, listedPictures);
    }
    if (holding == Holding::PicturesOnly) {
        return;
    }
    if (book_.cover >= 0) {
        ListPage(-1);
    }
    for (qsizetype page = 0; page < static_cast<qsizetype>(book_.pages.size()); ++page) {
        ListPage(page);
    }
    for (qsizetype document = 0; document < documents_.size(); ++document) {
        entries_.push_back({Kind::Document, document});
    }
}

void BookEntries::ListOpeningFiles(const QString& installationData)
{
    if (installationData.isEmpty()) {
        return;
    }
    QStringList patterns;
    for (const QString& openingFile : format_.OpeningFiles()) {
        patterns << installationData + u'/' + openingFile;
    }
    openingFiles_ = ExpandFileList(patterns, installationData + u'/', QString(), {});
    for (qsizetype file = 0; file < static_cast<qsizetype>(openingFiles_.size()); ++file) {
        entries_.push_back({Kind::Opening, file});
    }
}

void BookEntries::ListPicture(qsizetype picture, QSet<QString>& listedPictures)
{
    const BookPicture& shown = book_.pictures[static_cast<size_t>(picture)];
    // A picture that cannot go into the book has no entry; its page still names it, and the book is not written.
    if (book_.sources[static_cast<size_t>(shown.source)].size >= 0 && !listedPictures.contains(shown.name)) {
        listedPictures.insert(shown.name);
        entries_.push_back({Kind::Picture, picture});
    }
}

void BookEntries::ListPage(qsizetype page)
{
    const bool hasDocument = !(page < 0 ? format_.CoverPageName() : format_.PageDocumentName(page + 1)).isEmpty();
    if (hasDocument) {
        entries_.push_back({Kind::Page, page});
    }
}

qsizetype BookEntries::Count() const
{
    return static_cast<qsizetype>(entries_.size());
}

QString BookEntries::InContentFolder(const QString& name) const
{
    return format_.ContentFolder().isEmpty() ? name : format_.ContentFolder() + u'/' + name;
}

QByteArray BookEntries::StoredName(qsizetype index) const
{
    const Entry& entry = entries_[static_cast<size_t>(index)];
    switch (entry.kind) {
    case Kind::Opening:
        return openingFiles_[static_cast<size_t>(entry.index)].storedName;
    case Kind::Picture:
        return InContentFolder(book_.pictures[static_cast<size_t>(entry.index)].name).toUtf8();
    case Kind::Page:
        return InContentFolder(entry.index < 0 ? format_.CoverPageName() : format_.PageDocumentName(entry.index + 1))
            .toUtf8();
    case Kind::Document:
        break;
    }
    return InContentFolder(documents_[entry.index].name).toUtf8();
}

EntryMethod BookEntries::Method(qsizetype index) const
{
    const Entry& entry = entries_[static_cast<size_t>(index)];
    switch (entry.kind) {
    case Kind::Opening:
        return format_.MethodFor(entry.index == 0 ? EntryHolds::Opening : EntryHolds::Document);
    case Kind::Picture:
        return format_.MethodFor(EntryHolds::Picture);
    case Kind::Page:
    case Kind::Document:
        break;
    }
    return format_.MethodFor(EntryHolds::Document);
}

qint64 BookEntries::ExpectedSize(qsizetype index) const
{
    const Entry& entry = entries_[static_cast<size_t>(index)];
    switch (entry.kind) {
    case Kind::Opening:
        return openingFiles_[static_cast<size_t>(entry.index)].size;
    case Kind::Picture:
        return book_.sources[static_cast<size_t>(book_.pictures[static_cast<size_t>(entry.index)].source)].size;
    case Kind::Page:
    case Kind::Document:
        break;
    }
    return 0;
}

std::unique_ptr<EntryContent> BookEntries::Open(qsizetype index) const
{
    const Entry& entry = entries_[static_cast<size_t>(index)];
    switch (entry.kind) {
    case Kind::Opening:
        return OpenFileContent(openingFiles_[static_cast<size_t>(entry.index)].path);
    case Kind::Picture:
        return OpenPictureContent(book_, entry.index);
    case Kind::Page:
    case Kind::Document:
        break;
    }
    if (book_.sizesMadeLater) {
        std::call_once(sizesNoted_, [this] { NoteMadeSizes(book_); });
    }
    if (entry.kind == Kind::Page) {
        return std::make_unique<PageContent>(format_.PageText(PageShown(entry.index)), facts_.made,
                                             QString::fromUtf8(StoredName(index)));
    }
    return std::make_unique<DocumentContent>(documents_[entry.index], facts_.made);
}

bool BookEntries::NeedsEarlierEntries(qsizetype index) const
{
    const Kind kind = entries_[static_cast<size_t>(index)].kind;
    return book_.sizesMadeLater && (kind == Kind::Page || kind == Kind::Document);
}

PageOfBook BookEntries::PageShown(qsizetype page) const
{
    const qsizetype picture = page < 0 ? book_.cover : book_.pages[static_cast<size_t>(page)];
    const BookPicture& shown = book_.pictures[static_cast<size_t>(picture)];
    return {shown.name, shown.size, facts_.settings.title,
            page < 0 ? QStringLiteral("Cover") : QStringLiteral("Page %1").arg(page + 1), language_};
}
