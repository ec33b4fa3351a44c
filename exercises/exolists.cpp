#include "exercises/exolists.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QListWidget>
#include <QStorageInfo>
#include <QStyle>
#include <QTreeWidget>
#include <algorithm>

namespace
{

constexpr int kPathRole = Qt::UserRole;

bool readableFolder(const QString &path)
{
    return QFileInfo(path).isDir() && QDir(path).isReadable();
}

bool onVolume(const QString &path, const QString &root)
{
    return root == QLatin1String("/") || path == root || path.startsWith(root + QLatin1Char('/'));
}

} // namespace

ExoLists::ExoLists(QWidget *parent, const QString &pattern, const QString &folder)
    : QObject(parent), m_pattern(pattern), m_drives(new QComboBox(parent)),
      m_folders(new QTreeWidget(parent)), m_files(new QListWidget(parent))
{
    m_drives->setObjectName(QStringLiteral("Drive1"));
    m_folders->setObjectName(QStringLiteral("Dir1"));
    m_files->setObjectName(QStringLiteral("File1"));

    // The folders leading to the open one and its subfolders, all shown:
    // nothing folds, a double-click opens.
    m_folders->setHeaderHidden(true);
    m_folders->setRootIsDecorated(false);
    m_folders->setItemsExpandable(false);
    m_folders->setExpandsOnDoubleClick(false);
    m_folders->setIndentation(8);
    m_folders->installEventFilter(this);
    m_files->installEventFilter(this);

    fillDrives();
    if (!setFolder(folder) && !setFolder(QDir::currentPath()))
        setFolder(QDir::rootPath());

    connect(m_drives, &QComboBox::currentIndexChanged, this, &ExoLists::driveChosen);
    connect(m_folders, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem *item) { setFolder(item->data(0, kPathRole).toString()); });
    connect(m_files, &QListWidget::currentItemChanged, this, [this](QListWidgetItem *item) {
        if (item && !m_filling)
            emit fileChosen(item->text());
    });
    connect(m_files, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem *item) { emit fileActivated(item->text()); });
}

bool ExoLists::setFolder(const QString &path)
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

void ExoLists::openHighlighted()
{
    if (QTreeWidgetItem *item = m_folders->currentItem())
        setFolder(item->data(0, kPathRole).toString());
}

void ExoLists::selectFile(int row)
{
    if (row < 0 || row >= m_files->count())
        return;
    m_files->setCurrentRow(row);
}

bool ExoLists::eventFilter(QObject *watched, QEvent *event)
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

void ExoLists::fillDrives()
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
        labels << (v.name().isEmpty() ? root : root + QStringLiteral(" [") + v.name() + ']');
    }
    if (!roots.contains(QDir::rootPath())) {
        roots << QDir::rootPath();
        labels << QDir::rootPath();
    }
    QList<int> order;
    for (int i = 0; i < roots.size(); ++i)
        order << i;
    // The root first, then the volumes by path.
    std::sort(order.begin(), order.end(), [&](int a, int b) {
        const bool aRoot = roots[a] == QDir::rootPath();
        const bool bRoot = roots[b] == QDir::rootPath();
        return aRoot != bRoot ? aRoot : roots[a] < roots[b];
    });
    m_filling = true;
    m_drives->clear();
    for (int i : order)
        m_drives->addItem(labels[i], roots[i]);
    m_filling = false;
}

int ExoLists::driveIndexOf(const QString &path) const
{
    int best = -1;
    qsizetype bestLength = -1;
    for (int i = 0; i < m_drives->count(); ++i) {
        const QString root = m_drives->itemData(i).toString();
        if (onVolume(path, root) && root.size() > bestLength) {
            best = i;
            bestLength = root.size();
        }
    }
    return best;
}

void ExoLists::showDriveOfFolder()
{
    m_filling = true;
    m_drives->setCurrentIndex(driveIndexOf(m_folder));
    m_filling = false;
}

void ExoLists::driveChosen(int index)
{
    if (m_filling || index < 0)
        return;
    const QString root = m_drives->itemData(index).toString();
    // A volume that cannot be read puts the list back and changes nothing.
    if (!readableFolder(root)) {
        showDriveOfFolder();
        return;
    }
    const QString current = QDir::currentPath();
    const QString target = driveIndexOf(current) == index ? current : root;
    if (!setFolder(target) && !setFolder(root))
        showDriveOfFolder();
}

void ExoLists::fillFolders()
{
    const QIcon open = m_folders->style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = m_folders->style()->standardIcon(QStyle::SP_DirClosedIcon);
    m_folders->clear();

    QStringList chain{QDir::rootPath()};
    QString path;
    const QStringList parts = m_folder.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (const QString &part : parts) {
        path += QLatin1Char('/') + part;
        chain << path;
    }
    QTreeWidgetItem *parent = nullptr;
    for (int i = 0; i < chain.size(); ++i) {
        auto *item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(m_folders);
        item->setText(0, i == 0 ? chain[i] : parts[i - 1]);
        item->setIcon(0, open);
        item->setData(0, kPathRole, chain[i]);
        parent = item;
    }
    const QDir::Filters dirs = QDir::Dirs | QDir::NoDotAndDotDot;
    const QFileInfoList subfolders =
        QDir(m_folder).entryInfoList(dirs, QDir::Name | QDir::IgnoreCase);
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

void ExoLists::fillFiles()
{
    m_filling = true;
    m_files->clear();
    // Name filters ignore the letter case: "x.e35" is listed too.
    m_files->addItems(
        QDir(m_folder).entryList({m_pattern}, QDir::Files, QDir::Name | QDir::IgnoreCase));
    m_filling = false;
}
