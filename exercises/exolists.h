#pragma once
// The drive list, folder tree and file list of the exercise window. The tree
// and the file list always show the same folder; the drive list shows the
// volume that holds it. The file list shows the files matching a pattern,
// whatever the letter case of their names.
#include <QObject>
#include <QString>

class QComboBox;
class QListWidget;
class QListWidgetItem;
class QTreeWidget;
class QWidget;

class ExoLists : public QObject
{
    Q_OBJECT
public:
    // Creates Drive1, Dir1 and File1 as children of parent, on folder.
    ExoLists(QWidget *parent, const QString &pattern, const QString &folder);

    QComboBox *drives() const { return m_drives; }
    QTreeWidget *folders() const { return m_folders; }
    QListWidget *files() const { return m_files; }

    // Absolute, no final separator except for a root.
    QString folder() const { return m_folder; }
    // Opens a folder; one that is missing or cannot be read changes nothing.
    bool setFolder(const QString &path);
    // Opens the highlighted entry of the tree (double-click, Enter).
    void openHighlighted();
    // Makes file row the current one, which reports it as chosen.
    void selectFile(int row);

signals:
    void folderChanged(const QString &folder);
    // A file became the current one (click, arrow keys, selectFile).
    void fileChosen(const QString &name);
    // Double-click or Enter on a file.
    void fileActivated(const QString &name);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void fillDrives();
    void driveChosen(int index);
    int driveIndexOf(const QString &path) const;
    void showDriveOfFolder();
    void fillFolders();
    void fillFiles();

    QString m_pattern;
    QComboBox *m_drives;
    QTreeWidget *m_folders;
    QListWidget *m_files;
    QString m_folder;
    bool m_filling = false;
};
