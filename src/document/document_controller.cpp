#include "document_controller.h"

#include "codec/checksum.h"
#include "codec/design_inspection.h"
#include "codec/layout_conversion.h"
#include "codec/rle.h"
#include "design_health.h"
#include "document_file.h"
#include "user_prompts.h"

#include <QFileInfo>
#include <QLocale>

namespace railwright {

using namespace Qt::StringLiterals;

namespace {

const QString AppCaption = u"Railwright"_s;

// Emits busyChanged around a file operation.
class BusyScope
{
public:
    explicit BusyScope(DocumentController& controller) : m_controller(controller)
    {
        emit m_controller.busyChanged(true);
    }
    ~BusyScope() { emit m_controller.busyChanged(false); }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    DocumentController& m_controller;
};

} // namespace

DocumentController::DocumentController(TrackDesignDocument& document, UserPrompts& prompts,
                                       QObject* parent)
    : QObject(parent), m_document(document), m_prompts(prompts)
{
    connect(&m_document, &TrackDesignDocument::bytesChanged, this,
            &DocumentController::updateHealth);
    connect(&m_document, &TrackDesignDocument::contentsReplaced, this,
            &DocumentController::updateHealth);
}

QString DocumentController::fileFilter()
{
    return u"TD4 File *.TD4 (*.TD4);;Text Files *.txt (*.txt);;All Files *.* (*)"_s;
}

void DocumentController::setCurrentPath(const QString& path)
{
    m_currentPath = path;
    emit currentPathChanged(path);
}

void DocumentController::updateHealth()
{
    QString text;
    const ByteBuffer bytes = m_document.contents();
    switch (m_document.kind()) {
    case ContentKind::StartUp:
        break;
    case ContentKind::Raw:
        text = FileHealthText(InspectDesign(bytes));
        break;
    case ContentKind::Decoded:
        text = RecordHealthText(InspectRecord(bytes));
        break;
    }
    // Decode and Encode would otherwise hide that the design was damaged.
    if (m_origin == Origin::ChecksumMismatch && m_document.kind() != ContentKind::StartUp &&
        (m_document.kind() == ContentKind::Decoded ||
         MatchChecksum(bytes) != ChecksumMatch::None)) {
        text += u" (opened with a checksum matching no game version)"_s;
    } else if (m_origin == Origin::DecodedRecord) {
        text += u" (opened as a decoded record)"_s;
    }
    if (text != m_healthText) {
        m_healthText = text;
        emit healthChanged(text);
    }
}

bool DocumentController::settleUnsavedChanges(const QString& question)
{
    if (!m_document.changed()) {
        return true;
    }
    switch (m_prompts.ask(question, AppCaption)) {
    case UserPrompts::Answer::Yes:
        // Going on after a save that did not happen would lose the changes.
        return save();
    case UserPrompts::Answer::No:
        return true;
    case UserPrompts::Answer::Cancel:
        return false;
    }
    return false;
}

bool DocumentController::openFile()
{
    if (!settleUnsavedChanges(u"Save Changes To Current File?"_s)) {
        return false;
    }
    // From here the old path no longer names the document: a refused file must never
    // be overwritten by a later "&Save".
    setCurrentPath({});
    const QString path = m_prompts.openFileName(fileFilter(), m_settings.lastFolder());
    return !path.isEmpty() && openPath(path);
}

bool DocumentController::openRecentFile(const QString& path)
{
    if (!settleUnsavedChanges(u"Save Changes To Current File?"_s)) {
        return false;
    }
    setCurrentPath({});
    if (openPath(path)) {
        return true;
    }
    m_settings.removeRecentFile(path);
    emit recentFilesChanged();
    return false;
}

void DocumentController::clearRecentFiles()
{
    m_settings.clearRecentFiles();
    emit recentFilesChanged();
}

void DocumentController::remember(const QString& path)
{
    const QFileInfo file(path);
    m_settings.setLastFolder(file.absolutePath());
    m_settings.addRecentFile(file.absoluteFilePath());
    emit recentFilesChanged();
}

bool DocumentController::openDroppedPath(const QString& path)
{
    if (!settleUnsavedChanges(u"Save Changes To Current File?"_s)) {
        return false;
    }
    setCurrentPath({});
    return openPath(path);
}

bool DocumentController::openPath(const QString& path)
{
    if (!load(path)) {
        return false;
    }
    if (m_settings.decodeOnOpen() && m_document.kind() == ContentKind::Raw &&
        InspectDesign(m_document.contents()).valid()) {
        decode();
    }
    return true;
}

bool DocumentController::load(const QString& path)
{
    LoadResult loaded;
    {
        BusyScope busy(*this);
        loaded = LoadFile(path);
    }
    if (!loaded.ok()) {
        m_prompts.tell(loaded.errorText, AppCaption);
        return false;
    }
    // The file's own checksum says which game it is for; a file that matches neither
    // constant leaves the user's choice alone.
    const ChecksumMatch match = MatchChecksum(loaded.bytes);
    const bool decodedRecord =
        IsDecodedRecord(loaded.bytes) &&
        m_prompts.choose(u"This file is a decoded design record (saved without encoding). Open "
                         u"it as decoded?"_s,
                         AppCaption, {u"Yes"_s, u"No"_s}, 0) == 0;
    const bool marksExpansion = MarksExpansion(loaded.bytes);
    if (!m_document.loadContents(std::move(loaded.bytes),
                                 decodedRecord ? ContentKind::Decoded : ContentKind::Raw)) {
        return false;
    }
    if (decodedRecord) {
        // As Decode chooses: the record cannot say which expansion it was made with.
        m_origin = Origin::DecodedRecord;
        if (marksExpansion && m_document.gameVersion() == GameVersion::Original) {
            m_document.setGameVersion(GameVersion::CorkscrewFollies);
        }
    } else {
        m_origin = match == ChecksumMatch::None ? Origin::ChecksumMismatch : Origin::Design;
        if (match == ChecksumMatch::LoopyLandscapes) {
            m_document.setGameVersion(GameVersion::LoopyLandscapes);
        } else if (match == ChecksumMatch::OriginalOrCorkscrew) {
            m_document.setGameVersion(GameVersion::Original);
        }
    }
    setCurrentPath(path);
    remember(path);
    updateHealth();
    return true;
}

bool DocumentController::guardDecodedSave()
{
    if (m_document.kind() != ContentKind::Decoded) {
        return true;
    }
    enum Choice
    {
        EncodeAndSave,
        SaveDecoded,
        Cancel,
    };
    const int choice = m_prompts.choose(
        u"This design is decoded, and the game reads only encoded designs. Encode it before "
        u"saving?"_s,
        AppCaption, {u"Encode and Save"_s, u"Save Decoded"_s, u"Cancel"_s}, EncodeAndSave);
    switch (choice) {
    case EncodeAndSave:
        return encode();
    case SaveDecoded:
        return true;
    default:
        return false;
    }
}

bool DocumentController::writeTo(const QString& path)
{
    SaveOptions options;
    SaveResult saved;
    for (;;) {
        {
            BusyScope busy(*this);
            saved = SaveFile(path, m_document.contents(), options);
        }
        if (saved.refusal != SaveResult::Refusal::HardLinked) {
            break;
        }
        // Replacing the file would leave its other names with the old design in silence.
        enum Choice
        {
            IntoSharedFile,
            SeparateName,
            Cancel,
        };
        const int choice = m_prompts.choose(
            u"%1 has %2 other name(s) (hard links) sharing its content. Save into the shared "
            u"file, so that every name holds the new design, or give this name a file of its "
            u"own, leaving the other names with the old design?"_s.arg(ShownPath(path))
                .arg(saved.otherLinks),
            AppCaption, {u"Save Into Shared File"_s, u"Separate This Name"_s, u"Cancel"_s},
            IntoSharedFile);
        if (choice == IntoSharedFile) {
            options.hardLinks = SaveOptions::HardLinks::WriteIntoFile;
        } else if (choice == SeparateName) {
            options.hardLinks = SaveOptions::HardLinks::Separate;
        } else {
            return false;
        }
    }
    if (!saved.ok()) {
        m_prompts.tell(saved.errorText, AppCaption);
        return false;
    }
    setCurrentPath(path);
    remember(path);
    m_document.markSaved();
    return true;
}

bool DocumentController::save()
{
    if (m_currentPath.isEmpty()) {
        return saveAs();
    }
    return guardDecodedSave() && writeTo(m_currentPath);
}

bool DocumentController::saveAs()
{
    // The dialog offers the current name, or starts in the last folder used.
    QString path = m_prompts.saveFileName(
        fileFilter(), m_currentPath.isEmpty() ? m_settings.lastFolder() : m_currentPath);
    if (path.isEmpty()) {
        return false;
    }
    if (QFileInfo(path).suffix().isEmpty()) {
        path += u".TD4"_s;
    }
    return guardDecodedSave() && writeTo(path);
}

bool DocumentController::confirmClose()
{
    return settleUnsavedChanges(u"Save Changes Before Exit?"_s);
}

bool DocumentController::decode()
{
    if (m_document.kind() != ContentKind::Raw) {
        return false;
    }
    DecodeResult decoded = RLEDecode(m_document.contents());
    if (!decoded.ok()) {
        m_prompts.tell(u"This file cannot be decoded: "_s + QString::fromStdString(decoded.error),
                       AppCaption);
        return false;
    }
    if (decoded.record.empty()) {
        m_prompts.tell(u"This file holds no track design: decoding it gives no bytes. The "
                       u"document was left as it was."_s,
                       AppCaption);
        return false;
    }
    // Only the base-game choice moves: "Loopy Landscapes" is an expansion too, and its
    // checksum must stay.
    GameVersion version = m_document.gameVersion();
    if (version == GameVersion::Original && MarksExpansion(decoded.record)) {
        version = GameVersion::CorkscrewFollies;
    }
    return m_document.replaceContents(u"Decode"_s, std::move(decoded.record), ContentKind::Decoded,
                                      version);
}

// Encoding gives any record a valid checksum; a damaged design must not pass for a good
// one without the user knowing.
bool DocumentController::confirmDamagedEncode()
{
    QString reason;
    const RecordFacts facts = InspectRecord(m_document.contents());
    if (m_origin == Origin::ChecksumMismatch) {
        reason = u"checksum matches no game version"_s;
    } else if (facts.layout == RecordLayout::Unusual) {
        const QLocale locale;
        reason = u"its record is %1 bytes, neither %2 nor %3"_s.arg(
            locale.toString(qulonglong(facts.length)),
            locale.toString(qulonglong(BaseRecordLength)),
            locale.toString(qulonglong(ExpansionRecordLength)));
    } else {
        return true;
    }
    return m_prompts.choose(u"This design did not open as a valid track design (%1). Encoding "
                            u"gives it a valid checksum; the game may still reject it. Encode "
                            u"anyway?"_s.arg(reason),
                            AppCaption, {u"Encode"_s, u"Cancel"_s}, 1) == 0;
}

bool DocumentController::encode()
{
    if (m_document.kind() != ContentKind::Decoded || !confirmDamagedEncode()) {
        return false;
    }
    const GameVersion version = m_document.gameVersion();
    ByteBuffer file = EncodeDesign(m_document.contents(), version);
    // A file the editor refuses to open would be a dead end for the user.
    if (file.size() > std::size_t(MaxDocumentFileSize)) {
        const QLocale locale;
        m_prompts.tell(
            u"The encoded design would be %1 bytes, more than the %2 a track-design "
            u"file may have. The document was left as it was."_s.arg(
                locale.toString(qulonglong(file.size())), locale.toString(MaxDocumentFileSize)),
            AppCaption);
        return false;
    }
    return m_document.replaceContents(u"Encode"_s, std::move(file), ContentKind::Raw, version);
}

RecordLayout DocumentController::conversionTarget() const
{
    if (m_document.kind() != ContentKind::Decoded) {
        return RecordLayout::Unusual;
    }
    switch (InspectRecord(m_document.contents()).layout) {
    case RecordLayout::Base:
        return RecordLayout::Expansion;
    case RecordLayout::Expansion:
        return RecordLayout::Base;
    case RecordLayout::Unusual:
        break;
    }
    return RecordLayout::Unusual;
}

bool DocumentController::convertLayout(RecordLayout target)
{
    if (m_document.kind() != ContentKind::Decoded) {
        return false;
    }
    const ByteBuffer record = m_document.contents();
    LayoutConversion converted = ConvertLayout(record, target, false);
    // The codec's reasons are phrases; here they stand as sentences.
    const auto sentence = [](const std::string& phrase) {
        QString text = QString::fromStdString(phrase);
        if (!text.isEmpty()) {
            text[0] = text[0].toUpper();
        }
        return text + u"."_s;
    };
    if (converted.lossy) {
        const int choice = m_prompts.choose(sentence(converted.error) + u" Convert anyway?"_s,
                                            AppCaption, {u"Convert"_s, u"Cancel"_s}, 1);
        if (choice != 0) {
            return false;
        }
        converted = ConvertLayout(record, target, true);
    }
    if (!converted.ok()) {
        m_prompts.tell(sentence(converted.error) + u" The design was left as it was."_s,
                       AppCaption);
        return false;
    }
    const bool toBase = target == RecordLayout::Base;
    GameVersion version = m_document.gameVersion();
    if (toBase) {
        version = GameVersion::Original;
    } else if (version == GameVersion::Original) {
        version = GameVersion::CorkscrewFollies;
    }
    return m_document.replaceContents(toBase ? u"Convert to Base Layout"_s
                                             : u"Convert to Expansion Layout"_s,
                                      std::move(converted.record), ContentKind::Decoded, version);
}

} // namespace railwright
