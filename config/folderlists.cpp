#include "config/folderlists.h"

#include "common/numfmt.h"

#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QStorageInfo>
#include <QStyle>
#include <QTreeWidget>
#include <algorithm>
#include <numeric>

namespace
{

constexpr int kPathRole = Qt::UserRole;

bool readableFolder(const QString &path)
{
    return QFileInfo(path).isDir() && QDir(path).isReadable();
}

bool onVolume(const QString &path, const QString &root)
{
    // A drive's root ends with its separator ("/", "C:/"), a mount point not.
    const QString prefix = root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/');
    return path == root || path.startsWith(prefix);
}

} // namespace

FolderLists::FolderLists(QWidget *parent, const QString &pattern, const QString &folder)
    : QObject(parent), m_pattern(pattern), m_drives(new QComboBox(parent)),
      m_folders(new QTreeWidget(parent)), m_files(new QListWidget(parent))
{
    m_drives->setObjectName(QStringLiteral("Drive1"));
    m_folders->setObjectName(QStringLiteral("Dir1"));
    m_files->setObjectName(QStringLiteral("File1"));

    // A tree of the folders leading to the open one and its subfolders, all
    // shown at once: nothing folds, a double-click opens.
    m_folders->setHeaderHidden(true);
    m_folders->setRootIsDecorated(false);
    m_folders->setItemsExpandable(false);
    m_folders->setExpandsOnDoubleClick(false);
    m_folders->setIndentation(8);
    m_folders->setStyleSheet(QStringLiteral("QTreeView::branch { image: none; }"));
    m_folders->installEventFilter(this);
    m_files->installEventFilter(this);

    fillDrives();
    if (!setFolder(folder) && !setFolder(QDir::currentPath()))
        setFolder(QDir::rootPath());

    connect(m_drives, &QComboBox::currentIndexChanged, this, &FolderLists::driveChosen);
    connect(m_folders, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem *item) { setFolder(item->data(0, kPathRole).toString()); });
    connect(m_files, &QListWidget::currentItemChanged, this, [this](QListWidgetItem *item) {
        if (item && !m_filling) {
            emit fileClicked(item->text());
            emit fileChosen(item->text());
        }
    });
    connect(m_files, &QListWidget::itemClicked, this,
            [this](QListWidgetItem *item) { emit fileClicked(item->text()); });
    connect(m_files, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem *item) {
        emit fileDoubleClicked(item->text());
        emit fileActivated(item->text());
    });
}

bool FolderLists::setFolder(const QString &path)
{
    if (path.isEmpty())
        return false;
    const QString clean = QDir::cleanPath(QDir::current().absoluteFilePath(path));
    if (!readableFolder(clean))
        return false;
    const bool changed = clean != m_folder;
    m_folder = clean;
    fillFolders();
    fillFiles();
    showDriveOfFolder();
    if (changed)
        emit folderChanged(m_folder);
    return true;
}

void FolderLists::openHighlighted()
{
    if (QTreeWidgetItem *item = m_folders->currentItem())
        setFolder(item->data(0, kPathRole).toString());
}

void FolderLists::selectFile(int row)
{
    if (row >= 0 && row < m_files->count())
        m_files->setCurrentRow(row);
}

bool FolderLists::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (watched == m_folders) {
                openHighlighted();
                return true;
            }
            if (watched == m_files) {
                if (QListWidgetItem *item = m_files->currentItem())
                    emit fileActivated(item->text());
                return true;
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

void FolderLists::fillDrives()
{
    QStringList roots;
    QStringList labels;
    const QList<QStorageInfo> volumes = QStorageInfo::mountedVolumes();
    for (const QStorageInfo &v : volumes) {
        const QString root = v.rootPath();
        // Bind-mounted files show up among the volumes; only folders are drives.
        if (!v.isValid() || roots.contains(root) || !QFileInfo(root).isDir())
            continue;
        roots << root;
        const QString shown = QDir::toNativeSeparators(root);
        labels << (v.name().isEmpty() ? shown : shown + QStringLiteral(" [") + v.name() + ']');
    }
    if (!roots.contains(QDir::rootPath())) {
        roots << QDir::rootPath();
        labels << QDir::toNativeSeparators(QDir::rootPath());
    }
    QList<int> order(roots.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&](int a, int b) {
        const bool aRoot = roots[a] == QDir::rootPath();
        const bool bRoot = roots[b] == QDir::rootPath();
        if (aRoot != bRoot)
            return aRoot;
        return roots[a] < roots[b];
    });
    m_filling = true;
    m_drives->clear();
    for (int i : order)
        m_drives->addItem(labels[i], roots[i]);
    m_filling = false;
}

int FolderLists::driveIndexOf(const QString &path) const
{
    int best = -1;
    int bestLength = -1;
    for (int i = 0; i < m_drives->count(); ++i) {
        const QString root = m_drives->itemData(i).toString();
        if (onVolume(path, root) && root.size() > bestLength) {
            best = i;
            bestLength = int(root.size());
        }
    }
    return best;
}

void FolderLists::showDriveOfFolder()
{
    m_filling = true;
    m_drives->setCurrentIndex(driveIndexOf(m_folder));
    m_filling = false;
}

void FolderLists::driveChosen(int index)
{
    if (m_filling || index < 0)
        return;
    const QString root = m_drives->itemData(index).toString();
    // A volume that cannot be read puts the list back and changes nothing.
    if (!readableFolder(root)) {
        showDriveOfFolder();
        return;
    }
    // The drive's current folder: the process's own if it lies there, else its root.
    const QString current = QDir::currentPath();
    const QString target = driveIndexOf(current) == index ? current : root;
    if (!setFolder(target) && !setFolder(root))
        showDriveOfFolder();
}

void FolderLists::fillFolders()
{
    const QIcon open = m_folders->style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = m_folders->style()->standardIcon(QStyle::SP_DirClosedIcon);
    m_folders->clear();

    // The chain from the folder's root (its drive's, on Windows) down to it.
    QStringList chain;
    QDir up(m_folder);
    chain.prepend(up.absolutePath());
    while (!up.isRoot() && up.cdUp())
        chain.prepend(up.absolutePath());
    QTreeWidgetItem *parent = nullptr;
    for (int i = 0; i < chain.size(); ++i) {
        auto *item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(m_folders);
        item->setText(0,
                      i == 0 ? QDir::toNativeSeparators(chain[i]) : QFileInfo(chain[i]).fileName());
        item->setIcon(0, open);
        item->setData(0, kPathRole, chain[i]);
        parent = item;
    }
    const QDir::Filters dirsOnly = QDir::Dirs | QDir::NoDotAndDotDot;
    const QFileInfoList subfolders =
        QDir(m_folder).entryInfoList(dirsOnly, QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo &info : subfolders) {
        auto *item = new QTreeWidgetItem(parent);
        item->setText(0, info.fileName());
        item->setIcon(0, closed);
        item->setData(0, kPathRole, info.absoluteFilePath());
    }
    m_folders->expandAll();
    m_folders->setCurrentItem(parent);
    m_folders->scrollToItem(parent);
}

void FolderLists::fillFiles()
{
    m_filling = true;
    m_files->clear();
    // Name filters ignore the letter case: "x.c12" and "x.e35" are listed too.
    m_files->addItems(
        QDir(m_folder).entryList({m_pattern}, QDir::Files, QDir::Name | QDir::IgnoreCase));
    m_filling = false;
}

QString existingFileIgnoringCase(const QString &path)
{
    const QFileInfo info(path);
    if (info.exists())
        return path;
    const QString name = info.fileName();
    const QDir dir = info.dir();
    const QStringList files = dir.entryList(QDir::Files, QDir::Name);
    for (const QString &candidate : files) {
        if (candidate.compare(name, Qt::CaseInsensitive) == 0)
            return path.left(path.size() - name.size()) + candidate;
    }
    return path;
}

namespace dialoglook
{

QRect twips(int left, int top, int width, int height)
{
    const auto px = [](int t) { return numfmt::cint(t / 15.0); };
    return QRect(px(left), px(top), px(width), px(height));
}

void setUp(QWidget *dialog, int widthTwips, int heightTwips)
{
    dialog->setFixedSize(twips(0, 0, widthTwips, heightTwips).size());
    QPalette p = dialog->palette();
    p.setColor(QPalette::Window, kGrey);
    dialog->setPalette(p);
    dialog->setAutoFillBackground(true);
    dialog->setFont(font(8));
}

QLabel *label(QWidget *parent, const QString &name, const QString &text, const QRect &geometry)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setGeometry(geometry);
    QPalette p = l->palette();
    p.setColor(QPalette::Window, kGrey);
    p.setColor(QPalette::WindowText, kBlue);
    l->setPalette(p);
    l->setAutoFillBackground(true);
    return l;
}

QFont font(qreal points)
{
    // The layout was made for this face; a wider one would be clipped.
    QFont f;
    f.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                   QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    f.setPointSizeF(points);
    return f;
}

QString trimBlanks(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == QLatin1Char(' '))
        ++begin;
    while (end > begin && text[end - 1] == QLatin1Char(' '))
        --end;
    return text.mid(begin, end - begin);
}

} // namespace dialoglook
