#include "mainwindow/helpwindow.h"

#include "common/zoomchooser.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <QStyle>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTextStream>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>
#include <algorithm>
#include <vector>

namespace
{

constexpr int UrlRole = Qt::UserRole;

// Lower case without accents, so that "epaisseur" finds "Épaisseur".
QString fold(const QString &s)
{
    const QString d = s.normalized(QString::NormalizationForm_D);
    QString out;
    out.reserve(d.size());
    for (const QChar c : d) {
        if (c.category() != QChar::Mark_NonSpacing)
            out += c.toLower();
    }
    return out;
}

// The useful lines of a contents or index file, leading tabs kept.
QStringList readListFile(const QString &path)
{
    QStringList lines;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return lines;
    QTextStream in(&f);
    while (!in.atEnd()) {
        QString line = in.readLine();
        while (line.endsWith(QLatin1Char('\r')) || line.endsWith(QLatin1Char(' ')))
            line.chop(1);
        if (line.trimmed().isEmpty() || line.trimmed().startsWith(QLatin1Char('#')))
            continue;
        lines << line;
    }
    return lines;
}

// Splits "text<TAB>target" at its last tab; false when there is no target.
bool splitEntry(const QString &s, QString &text, QString &target)
{
    const int tab = s.lastIndexOf(QLatin1Char('\t'));
    if (tab <= 0)
        return false;
    text = s.left(tab).trimmed();
    target = s.mid(tab + 1).trimmed();
    return !text.isEmpty() && !target.isEmpty();
}

QUrl withoutFragment(const QUrl &url)
{
    return url.adjusted(QUrl::RemoveFragment);
}

} // namespace

HelpWindow::HelpWindow(const QString &programFolder, QWidget *parent) : QDialog(parent)
{
    m_folder = QDir::cleanPath(programFolder.isEmpty() ? QDir::currentPath() : programFolder);
    if (!m_folder.endsWith(QLatin1Char('/')))
        m_folder += QLatin1Char('/');
    m_home = QUrl::fromLocalFile(m_folder + contentsFileName());
    m_found = QFileInfo(m_home.toLocalFile()).isFile();

    setWindowTitle(QStringLiteral("Aide de Spectrophotométrie"));
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    resize(820, 580);
    buildUi();

    if (!m_found) {
        showMissing();
        return;
    }
    loadContents();
    loadIndex();
    openUrl(m_home);
}

void HelpWindow::showHelp(const QString &programFolder, QWidget *parent)
{
    HelpWindow w(programFolder, parent);
    w.exec();
}

QUrl HelpWindow::resolveTarget(const QString &target) const
{
    return QUrl::fromLocalFile(m_folder).resolved(QUrl(target));
}

void HelpWindow::openUrl(const QUrl &url)
{
    if (!m_found) {
        showMissing();
        return;
    }
    m_browser->setSource(url);
}

void HelpWindow::buildUi()
{
    auto *top = new QHBoxLayout;
    auto button = [this, top](const QString &text, QStyle::StandardPixmap icon,
                              const QString &tip) {
        auto *b = new QPushButton(style()->standardIcon(icon), text, this);
        b->setToolTip(tip);
        b->setAutoDefault(false);
        top->addWidget(b);
        return b;
    };
    m_back = button(QStringLiteral("&Précédent"), QStyle::SP_ArrowBack,
                    QStringLiteral("Revenir à la page vue avant"));
    m_forward = button(QStringLiteral("&Suivant"), QStyle::SP_ArrowForward,
                       QStringLiteral("Aller à la page vue après"));
    m_homeButton = button(QStringLiteral("&Accueil"), QStyle::SP_DirHomeIcon,
                          QStringLiteral("Revenir au sommaire de l'aide"));
    top->addStretch(1);
    top->addWidget(zoom::chooser(this));
    auto *close = new QPushButton(QStringLiteral("&Fermer"), this);
    close->setAutoDefault(false);
    top->addWidget(close);
    m_back->setEnabled(false);
    m_forward->setEnabled(false);

    m_tree = new QTreeWidget;
    m_tree->setHeaderHidden(true);
    m_tree->setColumnCount(1);

    auto *indexPage = new QWidget;
    auto *indexLayout = new QVBoxLayout(indexPage);
    indexLayout->setContentsMargins(4, 4, 4, 4);
    auto *label = new QLabel(QStringLiteral("Mot-clé à rechercher :"));
    m_filter = new QLineEdit;
    m_filter->setPlaceholderText(QStringLiteral("Tapez le début du mot"));
    m_filter->setClearButtonEnabled(true);
    label->setBuddy(m_filter);
    m_index = new QListWidget;
    indexLayout->addWidget(label);
    indexLayout->addWidget(m_filter);
    indexLayout->addWidget(m_index, 1);

    m_tabs = new QTabWidget;
    m_tabs->addTab(m_tree, QStringLiteral("Sommaire"));
    m_tabs->addTab(indexPage, QStringLiteral("Index"));

    m_browser = new QTextBrowser;
    m_browser->setOpenLinks(true);
    m_browser->setOpenExternalLinks(false);

    auto *split = new QSplitter(Qt::Horizontal);
    split->addWidget(m_tabs);
    split->addWidget(m_browser);
    split->setStretchFactor(0, 0);
    split->setStretchFactor(1, 1);
    split->setSizes({260, 560});

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(split, 1);

    connect(m_back, &QPushButton::clicked, m_browser, &QTextBrowser::backward);
    connect(m_forward, &QPushButton::clicked, m_browser, &QTextBrowser::forward);
    connect(m_homeButton, &QPushButton::clicked, this, [this] { openUrl(m_home); });
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_browser, &QTextBrowser::backwardAvailable, m_back, &QPushButton::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, m_forward, &QPushButton::setEnabled);
    connect(m_browser, &QTextBrowser::sourceChanged, this, [this](const QUrl &url) {
        const QString title = m_browser->documentTitle();
        setWindowTitle(title.isEmpty() ? QStringLiteral("Aide de Spectrophotométrie")
                                       : QStringLiteral("Aide - ") + title);
        selectContentsFor(url);
    });

    auto openTreeItem = [this](QTreeWidgetItem *item) {
        if (item)
            openUrl(item->data(0, UrlRole).toUrl());
    };
    connect(m_tree, &QTreeWidget::itemClicked, this, openTreeItem);
    connect(m_tree, &QTreeWidget::itemActivated, this, openTreeItem);
    connect(m_index, &QListWidget::itemClicked, this, &HelpWindow::openIndexItem);
    connect(m_index, &QListWidget::itemActivated, this, &HelpWindow::openIndexItem);
    connect(m_filter, &QLineEdit::textChanged, this, &HelpWindow::filterIndex);
    connect(m_filter, &QLineEdit::returnPressed, this,
            [this] { openIndexItem(m_index->currentItem()); });
}

void HelpWindow::loadContents()
{
    const QStringList lines = readListFile(m_folder + QStringLiteral("help/contents.txt"));
    std::vector<QTreeWidgetItem *> parents;
    for (const QString &line : lines) {
        int depth = 0;
        while (depth < line.size() && line.at(depth) == QLatin1Char('\t'))
            ++depth;
        QString title, target;
        if (!splitEntry(line.mid(depth), title, target))
            continue;
        depth = std::min<int>(depth, int(parents.size()));
        parents.resize(size_t(depth));
        QTreeWidgetItem *item =
            parents.empty() ? new QTreeWidgetItem(m_tree) : new QTreeWidgetItem(parents.back());
        item->setText(0, title);
        item->setToolTip(0, title);
        item->setData(0, UrlRole, resolveTarget(target));
        parents.push_back(item);
    }
    if (m_tree->topLevelItemCount() == 0) {
        auto *item = new QTreeWidgetItem(m_tree);
        item->setText(0, QStringLiteral("Sommaire"));
        item->setData(0, UrlRole, m_home);
    }
}

void HelpWindow::loadIndex()
{
    struct Entry {
        QString key, folded;
        QUrl url;
    };
    std::vector<Entry> entries;
    for (const QString &line : readListFile(m_folder + QStringLiteral("help/index.txt"))) {
        QString key, target;
        if (splitEntry(line, key, target))
            entries.push_back({key, fold(key), resolveTarget(target)});
    }
    std::stable_sort(entries.begin(), entries.end(),
                     [](const Entry &a, const Entry &b) { return a.folded < b.folded; });
    for (const Entry &e : entries) {
        auto *item = new QListWidgetItem(e.key, m_index);
        item->setData(UrlRole, e.url);
    }
    if (m_index->count() > 0)
        m_index->setCurrentRow(0);
}

void HelpWindow::showMissing()
{
    const QString path = QDir::toNativeSeparators(m_home.toLocalFile());
    m_browser->clear();
    m_browser->setHtml(QStringLiteral("<h3>Aide de Spectrophotométrie</h3>"
                                      "<p>Le fichier d'aide %1 est introuvable.</p>"
                                      "<p>Vérifiez l'installation du logiciel : "
                                      "l'aide doit se trouver dans le dossier du programme.</p>")
                           .arg(path.toHtmlEscaped()));
    m_tabs->setEnabled(false);
    m_homeButton->setEnabled(false);
}

void HelpWindow::filterIndex(const QString &text)
{
    const QString wanted = fold(text.trimmed());
    QListWidgetItem *first = nullptr;
    for (int i = 0; i < m_index->count(); ++i) {
        QListWidgetItem *item = m_index->item(i);
        const bool shown = wanted.isEmpty() || fold(item->text()).contains(wanted);
        item->setHidden(!shown);
        if (shown && !first)
            first = item;
    }
    // Entries that start with the typed text come before those that only contain it.
    for (int i = 0; i < m_index->count() && !wanted.isEmpty(); ++i) {
        QListWidgetItem *item = m_index->item(i);
        if (!item->isHidden() && fold(item->text()).startsWith(wanted)) {
            first = item;
            break;
        }
    }
    m_index->setCurrentItem(first);
    if (first)
        m_index->scrollToItem(first, QAbstractItemView::PositionAtTop);
}

void HelpWindow::openIndexItem(QListWidgetItem *item)
{
    if (item && !item->isHidden())
        openUrl(item->data(UrlRole).toUrl());
}

void HelpWindow::selectContentsFor(const QUrl &url)
{
    // The entry of that very anchor, else the entry of the page itself, else
    // any entry of the page.
    QTreeWidgetItem *exact = nullptr, *page = nullptr, *section = nullptr;
    for (QTreeWidgetItemIterator it(m_tree); *it && !exact; ++it) {
        const QUrl u = (*it)->data(0, UrlRole).toUrl();
        if (u == url)
            exact = *it;
        else if (!page && u.fragment().isEmpty() && withoutFragment(u) == withoutFragment(url))
            page = *it;
        else if (!section && withoutFragment(u) == withoutFragment(url))
            section = *it;
    }
    QTreeWidgetItem *best = exact ? exact : page ? page : section;
    const QSignalBlocker block(m_tree);
    if (best) {
        // Show the sections of the page on show, and where it lies.
        for (QTreeWidgetItem *p = best->parent(); p; p = p->parent())
            p->setExpanded(true);
        best->setExpanded(true);
        m_tree->setCurrentItem(best);
    } else
        m_tree->clearSelection();
}
