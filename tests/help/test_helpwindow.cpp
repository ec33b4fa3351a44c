// The help: the window opens at its contents page, every link, picture,
// contents entry and index entry leads somewhere real, and a missing help
// is reported by the window itself.
#include "mainwindow/helpwindow.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTextFragment>
#include <QTimer>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <gtest/gtest.h>

namespace
{

class QtEnvironment : public testing::Environment
{
public:
    void SetUp() override
    {
        static int argc = 1;
        static char name[] = "test_helpwindow";
        static char *argv[] = {name, nullptr};
        m_app = new QApplication(argc, argv);
    }
    void TearDown() override
    {
        delete m_app;
        m_app = nullptr;
    }

private:
    QApplication *m_app = nullptr;
};

[[maybe_unused]] testing::Environment *const env =
    testing::AddGlobalTestEnvironment(new QtEnvironment);

#ifdef SPECTRO_HELP_DATA_DIR
const QString kData = QStringLiteral(SPECTRO_HELP_DATA_DIR);
#else
const QString kData = QStringLiteral(SPECTRO_SOURCE_DATA_DIR);
#endif

QString readUtf8(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll());
}

// Every page of the help: the contents page and the pages of help/.
QStringList helpPages()
{
    QStringList pages{QDir(kData).filePath(QStringLiteral("LOMA.html"))};
    const QDir help(QDir(kData).filePath(QStringLiteral("help")));
    for (const QString &name : help.entryList({QStringLiteral("*.html")}, QDir::Files))
        pages << help.filePath(name);
    return pages;
}

struct PageParts {
    QSet<QString> anchors;
    QStringList links;
    QStringList images;
};

// What the rich-text engine itself makes of a page.
PageParts partsOf(const QTextDocument &doc)
{
    PageParts parts;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat fmt = it.fragment().charFormat();
            for (const QString &name : fmt.anchorNames())
                parts.anchors.insert(name);
            if (fmt.isAnchor() && !fmt.anchorHref().isEmpty())
                parts.links << fmt.anchorHref();
            if (fmt.isImageFormat())
                parts.images << fmt.toImageFormat().name();
        }
    }
    return parts;
}

PageParts partsOfFile(const QString &path)
{
    QTextDocument doc;
    doc.setHtml(readUtf8(path));
    return partsOf(doc);
}

QStringList anchorsList(const QSet<QString> &set)
{
    QStringList l(set.begin(), set.end());
    l.sort();
    return l;
}

TEST(HelpFiles, EveryLinkPictureAndStyleSheetResolves)
{
    const QStringList pages = helpPages();
    ASSERT_GE(pages.size(), 10) << "help pages missing under " << kData.toStdString();
    int links = 0;
    for (const QString &page : pages) {
        SCOPED_TRACE(page.toStdString());
        const QUrl base = QUrl::fromLocalFile(page);
        const PageParts parts = partsOfFile(page);
        EXPECT_FALSE(parts.links.isEmpty()) << "a page without any link is a dead end";
        for (const QString &href : parts.links) {
            const QUrl target = base.resolved(QUrl(href));
            ASSERT_TRUE(target.isLocalFile()) << href.toStdString();
            const QString file = target.toLocalFile();
            EXPECT_TRUE(QFileInfo(file).isFile())
                << href.toStdString() << " -> " << file.toStdString();
            if (!target.fragment().isEmpty() && QFileInfo(file).isFile()) {
                const PageParts there = partsOfFile(file);
                EXPECT_TRUE(there.anchors.contains(target.fragment()))
                    << href.toStdString() << ": no anchor among "
                    << anchorsList(there.anchors).join(QLatin1Char(' ')).toStdString();
            }
            ++links;
        }
        for (const QString &src : parts.images) {
            const QString file = base.resolved(QUrl(src)).toLocalFile();
            EXPECT_FALSE(QImage(file).isNull()) << "picture " << src.toStdString();
        }
        static const QRegularExpression css(QStringLiteral("<link[^>]*href=\"([^\"]+)\""));
        auto m = css.globalMatch(readUtf8(page));
        while (m.hasNext()) {
            const QString href = m.next().captured(1);
            EXPECT_TRUE(QFileInfo(base.resolved(QUrl(href)).toLocalFile()).isFile())
                << "style sheet " << href.toStdString();
        }
    }
    EXPECT_GT(links, 50);
}

TEST(HelpWindow, OpensAtItsContentsPage)
{
    HelpWindow w(kData);
    EXPECT_TRUE(w.helpFound());
    EXPECT_EQ(w.browser()->source(), QUrl::fromLocalFile(kData + QStringLiteral("/LOMA.html")));
    EXPECT_EQ(w.browser()->documentTitle(), QStringLiteral("Sommaire"));
    EXPECT_TRUE(w.browser()->toPlainText().contains(QStringLiteral("Aide de Spectrophotométrie")));
    EXPECT_FALSE(w.backButton()->isEnabled());
    // The contents tab shows the entry of the page on show.
    ASSERT_NE(w.contentsTree()->currentItem(), nullptr);
    EXPECT_EQ(w.contentsTree()->currentItem()->text(0), QStringLiteral("Sommaire"));
}

// Opens an entry as the user does, then checks that the page and its anchor are there.
void expectOpens(HelpWindow &w, const QString &what, const QUrl &url)
{
    SCOPED_TRACE(what.toStdString() + " -> " + url.toString().toStdString());
    ASSERT_TRUE(url.isLocalFile());
    EXPECT_TRUE(QFileInfo(url.toLocalFile()).isFile());
    EXPECT_EQ(w.browser()->source(), url);
    EXPECT_FALSE(w.browser()->toPlainText().trimmed().isEmpty());
    if (!url.fragment().isEmpty()) {
        EXPECT_TRUE(partsOf(*w.browser()->document()).anchors.contains(url.fragment()))
            << "missing anchor";
    }
}

TEST(HelpWindow, EveryIndexEntryOpensItsPageAndAnchor)
{
    HelpWindow w(kData);
    QListWidget *index = w.indexList();
    ASSERT_GE(index->count(), 50);
    for (int i = 0; i < index->count(); ++i) {
        QListWidgetItem *item = index->item(i);
        emit index->itemClicked(item);
        expectOpens(w, item->text(), item->data(Qt::UserRole).toUrl());
    }
}

TEST(HelpWindow, EveryContentsEntryOpensItsPageAndIsSelected)
{
    HelpWindow w(kData);
    QTreeWidget *tree = w.contentsTree();
    int n = 0;
    QSet<QString> pagesInTree;
    for (QTreeWidgetItemIterator it(tree); *it; ++it, ++n) {
        emit tree->itemClicked(*it, 0);
        const QUrl url = (*it)->data(0, Qt::UserRole).toUrl();
        expectOpens(w, (*it)->text(0), url);
        EXPECT_EQ(tree->currentItem(), *it) << (*it)->text(0).toStdString();
        pagesInTree.insert(QFileInfo(url.toLocalFile()).canonicalFilePath());
    }
    EXPECT_GT(n, 15);
    // No page is left out of the contents.
    for (const QString &page : helpPages())
        EXPECT_TRUE(pagesInTree.contains(QFileInfo(page).canonicalFilePath()))
            << page.toStdString();
}

TEST(HelpWindow, IndexFilterIgnoresCaseAndAccents)
{
    HelpWindow w(kData);
    w.indexFilter()->setText(QStringLiteral("EPAISSEUR"));
    int shown = 0;
    for (int i = 0; i < w.indexList()->count(); ++i) {
        QListWidgetItem *item = w.indexList()->item(i);
        if (item->isHidden())
            continue;
        ++shown;
        EXPECT_TRUE(item->text().contains(QStringLiteral("paisseur"), Qt::CaseInsensitive))
            << item->text().toStdString();
    }
    EXPECT_GE(shown, 1);
    // Enter opens the entry picked by the filter.
    ASSERT_NE(w.indexList()->currentItem(), nullptr);
    EXPECT_TRUE(w.indexList()->currentItem()->text().startsWith(QStringLiteral("épaisseur")));
    emit w.indexFilter()->returnPressed();
    EXPECT_EQ(w.browser()->source().fileName(), QStringLiteral("reglages.html"));
    EXPECT_EQ(w.browser()->source().fragment(), QStringLiteral("cuve"));

    // Entries that start with the text come first, before those that contain it.
    w.indexFilter()->setText(QStringLiteral("graphe"));
    ASSERT_NE(w.indexList()->currentItem(), nullptr);
    EXPECT_TRUE(w.indexList()->currentItem()->text().startsWith(QStringLiteral("graphe")));

    w.indexFilter()->setText(QStringLiteral("zzzz"));
    EXPECT_EQ(w.indexList()->currentItem(), nullptr);
    emit w.indexFilter()->returnPressed(); // nothing to open, nothing happens
    EXPECT_EQ(w.browser()->source().fileName(), QStringLiteral("reglages.html"));

    w.indexFilter()->clear();
    for (int i = 0; i < w.indexList()->count(); ++i)
        EXPECT_FALSE(w.indexList()->item(i)->isHidden());
}

TEST(HelpWindow, BackForwardAndHomeButtons)
{
    HelpWindow w(kData);
    const QUrl home = w.browser()->source();
    const QUrl mesure = w.resolveTarget(QStringLiteral("help/mesure.html#limite"));
    const QUrl calc = w.resolveTarget(QStringLiteral("help/calculatrice.html"));
    w.openUrl(mesure);
    w.openUrl(calc);
    ASSERT_TRUE(w.backButton()->isEnabled());
    EXPECT_FALSE(w.forwardButton()->isEnabled());
    w.backButton()->click();
    EXPECT_EQ(w.browser()->source(), mesure);
    EXPECT_TRUE(w.forwardButton()->isEnabled());
    w.forwardButton()->click();
    EXPECT_EQ(w.browser()->source(), calc);
    w.homeButton()->click();
    EXPECT_EQ(w.browser()->source(), home);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Aide - Sommaire"));
}

TEST(HelpWindow, MissingHelpIsReportedByTheWindow)
{
    QTemporaryDir empty;
    ASSERT_TRUE(empty.isValid());
    HelpWindow w(empty.path());
    EXPECT_FALSE(w.helpFound());
    const QString file = QDir::toNativeSeparators(QDir(empty.path()).filePath("LOMA.html"));
    const QString text = w.browser()->toPlainText();
    EXPECT_TRUE(text.contains(QStringLiteral("Le fichier d'aide ") + file +
                              QStringLiteral(" est introuvable.")))
        << text.toStdString();
    EXPECT_EQ(w.indexList()->count(), 0);
    // Going home again keeps the message rather than an empty page.
    w.openUrl(w.homeUrl());
    EXPECT_TRUE(w.browser()->toPlainText().contains(QStringLiteral("est introuvable.")));
}

TEST(HelpWindow, ShowHelpIsModalAndOpensAtTheContents)
{
    bool seen = false, modal = false;
    QUrl source;
    QTimer::singleShot(0, [&] {
        for (QWidget *top : QApplication::topLevelWidgets()) {
            auto *w = qobject_cast<HelpWindow *>(top);
            if (!w || !w->isVisible())
                continue;
            seen = true;
            modal = w->isModal() && QApplication::activeModalWidget() == w;
            source = w->browser()->source();
            w->close();
        }
    });
    // Should the window be missed, it still closes rather than hanging the test.
    QTimer::singleShot(5000, [] {
        for (QWidget *top : QApplication::topLevelWidgets()) {
            if (qobject_cast<HelpWindow *>(top))
                top->close();
        }
    });
    HelpWindow::showHelp(kData, nullptr);
    EXPECT_TRUE(seen);
    EXPECT_TRUE(modal);
    EXPECT_EQ(source, QUrl::fromLocalFile(kData + QStringLiteral("/LOMA.html")));
}

} // namespace
