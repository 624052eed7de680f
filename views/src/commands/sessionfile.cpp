#include "views/commands/sessionfile.h"

#include "engine/wordlengths.h"
#include "views/base/regularfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

#include <limits>

namespace {

const QString kFormat = QStringLiteral("tessaron-session");
constexpr int kVersion = 1;
// Any whole number: the bounds of a setting are checked by its validate().
constexpr int kAnyWhole = std::numeric_limits<int>::min();

QString tr(const char* text)
{
    return QCoreApplication::translate("SessionFile", text);
}

QString nameOf(tessaron::RepeatKind kind)
{
    return QString::fromUtf8(tessaron::kindInfo(kind).name.data(),
                             static_cast<qsizetype>(tessaron::kindInfo(kind).name.size()));
}

// A whole number of the object at `key`, no less than `least`; nothing when it is missing or not one.
std::optional<int> wholeAt(const QJsonObject& object, const QString& key, int least = 0)
{
    const QJsonValue value = object.value(key);
    if (!value.isDouble() || value.toDouble() != static_cast<double>(value.toInt()) ||
        value.toInt() < least) {
        return std::nullopt;
    }
    return value.toInt();
}

}  // namespace

QByteArray sessionToJson(const SavedSession& session, const QString& folder)
{
    const QString relative = QDir(folder).relativeFilePath(session.genomeFile);
    QJsonObject genome{
        {QStringLiteral("file"), relative.startsWith(QStringLiteral("..")) ? session.genomeFile : relative},
        {QStringLiteral("record"), session.record},
        {QStringLiteral("format"), session.genBank ? QStringLiteral("genbank") : QStringLiteral("text")},
        {QStringLiteral("size"), static_cast<double>(session.fileSize)},
        {QStringLiteral("name"), session.genomeName},
        {QStringLiteral("length"), session.genomeLength}};
    const std::string_view method = tessaron::methodName(session.method);
    QJsonObject search{
        {QStringLiteral("minimum"), session.minimum},
        {QStringLiteral("maximum"), session.maximum},
        {QStringLiteral("method"), QString::fromUtf8(method.data(), static_cast<qsizetype>(method.size()))}};
    QJsonObject selection{{QStringLiteral("start"), session.selectionStart},
                          {QStringLiteral("end"), session.selectionEnd}};
    if (session.word) {
        selection.insert(QStringLiteral("kind"), nameOf(session.word->kind));
        selection.insert(QStringLiteral("length"), session.word->length);
        selection.insert(QStringLiteral("row"), session.word->row);
    }
    const QJsonObject filter{{QStringLiteral("shown"), session.filter.shown},
                             {QStringLiteral("word"), session.filter.word},
                             {QStringLiteral("minLength"), session.filter.minLength},
                             {QStringLiteral("maxLength"), session.filter.maxLength},
                             {QStringLiteral("minPairs"), session.filter.minPairs}};
    const QJsonObject map{{QStringLiteral("open"), session.map.open},
                          {QStringLiteral("paper"), session.map.paper},
                          {QStringLiteral("tidyLabels"), session.map.tidyLabels}};
    const QJsonObject root{{QStringLiteral("format"), kFormat},
                           {QStringLiteral("version"), kVersion},
                           {QStringLiteral("genome"), genome},
                           {QStringLiteral("search"), search},
                           {QStringLiteral("selection"), selection},
                           {QStringLiteral("filter"), filter},
                           {QStringLiteral("map"), map}};
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

std::variant<SavedSession, QString> sessionFromJson(const QByteArray& json, const QString& folder)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (document.isNull() || !document.isObject()) {
        return tr("The file is not a session: %1.").arg(error.errorString());
    }
    const QJsonObject root = document.object();
    if (root.value(QStringLiteral("format")).toString() != kFormat) {
        return tr("The file is not a session of this program.");
    }
    if (root.value(QStringLiteral("version")).toInt() != kVersion) {
        return tr("The session was written by another version of the program (version %1).")
            .arg(root.value(QStringLiteral("version")).toInt());
    }
    const QJsonObject genome = root.value(QStringLiteral("genome")).toObject();
    const QJsonObject search = root.value(QStringLiteral("search")).toObject();
    const QJsonObject selection = root.value(QStringLiteral("selection")).toObject();
    const QJsonObject filter = root.value(QStringLiteral("filter")).toObject();
    const QJsonObject map = root.value(QStringLiteral("map")).toObject();
    SavedSession session;
    const QString file = genome.value(QStringLiteral("file")).toString();
    const std::optional<int> record = wholeAt(genome, QStringLiteral("record"));
    const std::optional<int> length = wholeAt(genome, QStringLiteral("length"));
    const std::optional<int> minimum = wholeAt(search, QStringLiteral("minimum"), kAnyWhole);
    const std::optional<int> maximum = wholeAt(search, QStringLiteral("maximum"), kAnyWhole);
    const auto method =
        tessaron::methodNamed(search.value(QStringLiteral("method")).toString().toStdString());
    const std::optional<int> start = wholeAt(selection, QStringLiteral("start"));
    const std::optional<int> end = wholeAt(selection, QStringLiteral("end"));
    if (file.isEmpty() || !record || !length || !genome.value(QStringLiteral("size")).isDouble()) {
        return tr("The session does not say which genome file it was made with.");
    }
    // The lengths the Options dialog and the settings accept, and a method that finds words.
    if (!minimum || !maximum) {
        return tr(
            "The session's search settings are not valid: its word lengths are missing or not whole "
            "numbers.");
    }
    if (const auto outside = tessaron::WordLengths{*minimum, *maximum}.validate()) {
        const bool isMinimum = outside->setting == tessaron::WordLengths::Setting::Minimum;
        return tr("The session's search settings are not valid: its %1 word length, %2, is outside %3 to %4.")
            .arg(isMinimum ? tr("minimum") : tr("maximum"))
            .arg(isMinimum ? *minimum : *maximum)
            .arg(outside->low)
            .arg(outside->high);
    }
    if (*minimum > *maximum) {
        return tr("The session's search settings are not valid: its minimum word length, %1, is above its "
                  "maximum, %2.")
            .arg(*minimum)
            .arg(*maximum);
    }
    if (!method || !tessaron::methodInfo(*method).findsWords) {
        return tr("The session's search settings are not valid: its search method does not find words.");
    }
    if (!start || !end || *start > *end || *end > *length) {
        return tr("The session's selection lies outside its genome.");
    }
    session.genomeFile = QDir::cleanPath(QDir(folder).absoluteFilePath(file));
    session.record = *record;
    session.genBank = genome.value(QStringLiteral("format")).toString() != QStringLiteral("text");
    session.fileSize = static_cast<qint64>(genome.value(QStringLiteral("size")).toDouble());
    session.genomeName = genome.value(QStringLiteral("name")).toString();
    session.genomeLength = *length;
    session.minimum = *minimum;
    session.maximum = *maximum;
    session.method = *method;
    session.selectionStart = *start;
    session.selectionEnd = *end;
    if (selection.contains(QStringLiteral("kind"))) {
        const auto kind =
            tessaron::kindNamed(selection.value(QStringLiteral("kind")).toString().toStdString());
        const std::optional<int> wordLength = wholeAt(selection, QStringLiteral("length"), 1);
        const std::optional<int> row = wholeAt(selection, QStringLiteral("row"));
        if (!kind || !wordLength || !row) {
            return tr("The session's selected word is not valid.");
        }
        session.word = SavedSession::Word{*kind, *wordLength, *row};
    }
    session.filter.shown = filter.value(QStringLiteral("shown")).toBool();
    session.filter.word = filter.value(QStringLiteral("word")).toString();
    session.filter.minLength = wholeAt(filter, QStringLiteral("minLength")).value_or(0);
    session.filter.maxLength = wholeAt(filter, QStringLiteral("maxLength")).value_or(0);
    session.filter.minPairs = wholeAt(filter, QStringLiteral("minPairs")).value_or(0);
    session.map.open = map.value(QStringLiteral("open")).toBool();
    session.map.paper = map.value(QStringLiteral("paper")).toBool();
    session.map.tidyLabels = map.value(QStringLiteral("tidyLabels")).toBool();
    return session;
}

std::optional<QString> staleGenome(const SavedSession& session)
{
    const QFileInfo file(session.genomeFile);
    if (!file.exists()) {
        return tr("The genome file of this session, %1, is missing.")
            .arg(QDir::toNativeSeparators(session.genomeFile));
    }
    // The session names its genome as the user did: a pipe is read as one.
    if (const std::optional<QString> refusal = notARegularFile(session.genomeFile, true)) {
        return *refusal;
    }
    if (file.size() != session.fileSize) {
        return tr("The genome file %1 has changed since the session was saved.")
            .arg(QDir::toNativeSeparators(session.genomeFile));
    }
    return std::nullopt;
}
