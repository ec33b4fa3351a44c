#pragma once
#include <QDialog>
#include <QString>
#include <QUrl>

class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QTabWidget;
class QTextBrowser;
class QTreeWidget;
class QTreeWidgetItem;

// The program's help: HTML pages in the program's folder, shown in a window
// with a contents tree, a keyword index and Back / Forward / Home buttons.
//
// Files, all UTF-8, looked for in the program's folder:
//   LOMA.html          the contents page, where the window opens;
//   help/*.html        the other pages (with help/aide.css and pictures);
//   help/contents.txt  the contents tree: one entry a line, "title<TAB>target",
//                      preceded by one TAB per level below the top;
//   help/index.txt     the index: one keyword a line, "keyword<TAB>target".
// A target is a page path relative to the program's folder with an optional
// anchor ("help/mesure.html#limite"). Blank lines and lines starting with '#'
// are skipped in both lists. The contents come from their own file rather
// than from the headings, so that the tree keeps the order of a reading.
//
// Without the contents page the window still opens and tells which file is
// missing, as a help system does.
class HelpWindow : public QDialog
{
    Q_OBJECT
public:
    explicit HelpWindow(const QString &programFolder, QWidget *parent = nullptr);

    // Opens the help modally at its contents page.
    static void showHelp(const QString &programFolder, QWidget *parent);

    // Name of the contents page in the program's folder.
    static QString contentsFileName() { return QStringLiteral("LOMA.html"); }

    bool helpFound() const { return m_found; }
    // The contents page (valid even when it is missing).
    QUrl homeUrl() const { return m_home; }
    // A target of the contents or the index resolved against the program's folder.
    QUrl resolveTarget(const QString &target) const;
    // Shows a page, with its anchor if any.
    void openUrl(const QUrl &url);

    QTextBrowser *browser() const { return m_browser; }
    QTreeWidget *contentsTree() const { return m_tree; }
    QListWidget *indexList() const { return m_index; }
    QLineEdit *indexFilter() const { return m_filter; }
    QPushButton *backButton() const { return m_back; }
    QPushButton *forwardButton() const { return m_forward; }
    QPushButton *homeButton() const { return m_homeButton; }

private:
    void buildUi();
    void loadContents();
    void loadIndex();
    void showMissing();
    void filterIndex(const QString &text);
    void openIndexItem(QListWidgetItem *item);
    void selectContentsFor(const QUrl &url);

    QString m_folder;
    QUrl m_home;
    bool m_found = false;
    QTextBrowser *m_browser = nullptr;
    QTabWidget *m_tabs = nullptr;
    QTreeWidget *m_tree = nullptr;
    QListWidget *m_index = nullptr;
    QLineEdit *m_filter = nullptr;
    QPushButton *m_back = nullptr;
    QPushButton *m_forward = nullptr;
    QPushButton *m_homeButton = nullptr;
};
