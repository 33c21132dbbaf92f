// The string table as a whole. Every .ts file is compiled into one identifier space, so an
// identifier defined twice silently shows one of its texts, and one missing shows its bare
// name; neither is seen until an operator meets it. These checks read the files themselves.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>
#include <QSet>
#include <QStringList>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

namespace korvex {
namespace {

struct Text {
    QString file;
    QString language;  // "en" or "zh"
    QString text;
    QString type;      // the translation's type attribute ("unfinished", ...), empty when done
};

struct Table {
    QMap<QString, QList<Text>> byId;
    QStringList problems;  // what cannot be told per identifier
};

QString languageOfFile(const QString& name) {
    if (name.endsWith(QLatin1String("_en.ts")))
        return QStringLiteral("en");
    if (name.endsWith(QLatin1String("_zh.ts")))
        return QStringLiteral("zh");
    return {};
}

void readTsFile(const QString& path, Table& table) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        table.problems << path + QStringLiteral(": cannot be read");
        return;
    }
    const QString name = QFileInfo(path).fileName();
    QXmlStreamReader xml(&file);
    QString language;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("TS")) {
            language = xml.attributes().value(QLatin1String("language")).toString().left(2);
            if (language != languageOfFile(name))
                table.problems << name + QStringLiteral(": language \"%1\" does not match the file name").arg(language);
        } else if (xml.name() == QLatin1String("message")) {
            const QString id = xml.attributes().value(QLatin1String("id")).toString();
            Text text{name, language, {}, {}};
            while (xml.readNextStartElement()) {  // the message's children, up to its end
                if (xml.name() == QLatin1String("translation")) {
                    text.type = xml.attributes().value(QLatin1String("type")).toString();
                    text.text = xml.readElementText(QXmlStreamReader::IncludeChildElements);
                } else {
                    xml.skipCurrentElement();
                }
            }
            if (id.isEmpty())
                table.problems << name + QStringLiteral(": a message without an id");
            else
                table.byId[id] << text;
        }
    }
    if (xml.hasError())
        table.problems << name + QStringLiteral(": ") + xml.errorString();
}

Table readAllTables() {
    Table table;
    const QDir dir(QStringLiteral(KORVEX_TRANSLATIONS_DIR));
    const QStringList files = dir.entryList({QStringLiteral("*.ts")}, QDir::Files, QDir::Name);
    EXPECT_GE(files.size(), 2);
    for (const QString& name : files)
        readTsFile(dir.filePath(name), table);
    return table;
}

QSet<QString> placeholders(const QString& text) {
    static const QRegularExpression mark(QStringLiteral("%L?\\d+"));
    QSet<QString> found;
    for (auto it = mark.globalMatch(text); it.hasNext();)
        found.insert(it.next().captured(0).remove(QLatin1Char('L')));
    return found;
}

TEST(Translations, EachIdentifierHasOneEnglishAndOneChineseText) {
    const Table table = readAllTables();
    EXPECT_TRUE(table.problems.isEmpty()) << table.problems.join(QLatin1Char('\n')).toStdString();
    ASSERT_GT(table.byId.size(), 50);
    for (auto it = table.byId.begin(); it != table.byId.end(); ++it) {
        const std::string id = it.key().toStdString();
        QStringList en, zh;
        for (const Text& t : it.value()) {
            (t.language == QLatin1String("zh") ? zh : en) << t.file;
            EXPECT_FALSE(t.text.trimmed().isEmpty()) << id << " has an empty text in " << t.file.toStdString();
            EXPECT_TRUE(t.type.isEmpty()) << id << " is marked " << t.type.toStdString() << " in "
                                          << t.file.toStdString();
        }
        EXPECT_EQ(en.size(), 1) << id << " in English: " << en.join(QLatin1String(", ")).toStdString();
        EXPECT_EQ(zh.size(), 1) << id << " in Chinese: " << zh.join(QLatin1String(", ")).toStdString();
        if (en.size() == 1 && zh.size() == 1) {
            const Text& first = it.value()[0];
            const Text& second = it.value()[1];
            EXPECT_EQ(placeholders(first.text), placeholders(second.text))
                << id << ": the two languages fill in different values";
        }
    }
}

// The identifiers the sources ask for: every literal given to qtTrId and, in files that hand an
// identifier to qtTrId through a variable (tables of messages, button and menu lists), every
// literal of an identifier's shape. "phase.%1" stands for the family phase.0, phase.1, ...
QMap<QString, QString> identifiersUsed(const QSet<QString>& namespaces) {
    static const QRegularExpression direct(
        QStringLiteral("(?:qtTrId|QT_TRID_NOOP)\\(\\s*(?:QStringLiteral\\(|QLatin1String\\()?\"([^\"]+)\""));
    static const QRegularExpression indirect(QStringLiteral("qtTrId\\(\\s*[^\"\\s]"));
    static const QRegularExpression literal(QStringLiteral("\"(6\\d{4}|[a-z][a-z0-9_]*(?:[.-][a-z0-9_%]+)+)\""));
    QMap<QString, QString> used;  // identifier -> a file using it
    const QDir root(QStringLiteral(KORVEX_SOURCE_DIR));
    for (const char* folder : {"controller", "platform", "editor", "fleet"}) {
        if (!root.exists(QLatin1String(folder)))
            continue;
        QDirIterator it(root.filePath(QLatin1String(folder)), {QStringLiteral("*.cpp"), QStringLiteral("*.h")},
                        QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            if (path.contains(QLatin1String("/tests/")))
                continue;
            QFile file(path);
            if (!file.open(QIODevice::ReadOnly))
                continue;
            const QString text = QString::fromUtf8(file.readAll());
            const QString shown = root.relativeFilePath(path);
            for (auto m = direct.globalMatch(text); m.hasNext();)
                used.insert(m.next().captured(1), shown);
            if (!indirect.match(text).hasMatch())
                continue;
            for (auto m = literal.globalMatch(text); m.hasNext();) {
                const QString candidate = m.next().captured(1);
                const QString space = candidate.section(QRegularExpression(QStringLiteral("[.-]")), 0, 0);
                if (candidate.startsWith(QLatin1Char('6')) || namespaces.contains(space))
                    used.insert(candidate, shown);
            }
        }
    }
    return used;
}

TEST(Translations, EveryIdentifierTheSourcesUseIsDefined) {
    const Table table = readAllTables();
    QSet<QString> namespaces;
    for (const QString& id : table.byId.keys())
        if (id.contains(QRegularExpression(QStringLiteral("[.-]"))))
            namespaces.insert(id.section(QRegularExpression(QStringLiteral("[.-]")), 0, 0));
    const QMap<QString, QString> used = identifiersUsed(namespaces);
    EXPECT_GT(used.size(), 80);
    for (auto it = used.begin(); it != used.end(); ++it) {
        const QString& id = it.key();
        bool defined = table.byId.contains(id);
        if (id.contains(QLatin1String("%1"))) {
            // A family: at least one member must exist.
            QStringList parts = id.split(QLatin1String("%1"));
            for (QString& part : parts)
                part = QRegularExpression::escape(part);
            const QRegularExpression member(QRegularExpression::anchoredPattern(parts.join(QLatin1String("\\d+"))));
            for (const QString& known : table.byId.keys())
                defined = defined || member.match(known).hasMatch();
        }
        EXPECT_TRUE(defined) << id.toStdString() << " (used in " << it.value().toStdString()
                             << ") is in no translation file";
    }
}

}  // namespace
}  // namespace korvex
