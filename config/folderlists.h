#pragma once
// The drive list, folder tree and file list shared by the save and open
// dialogs and the exercise window. The tree and the file list always show the
// same folder; the drive list shows the volume that holds it. The file list
// shows the files matching a pattern, whatever the letter case of their names.
#include <QColor>
#include <QFont>
#include <QObject>
#include <QRect>
#include <QString>

class QComboBox;
class QLabel;
class QListWidget;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

class FolderLists : public QObject
{
    Q_OBJECT
public:
    // Creates Drive1, Dir1 and File1 as children of parent, on folder (the
    // process's current folder when empty or unreadable).
    explicit FolderLists(QWidget *parent, const QString &pattern = QStringLiteral("*.C12"),
                         const QString &folder = QString());

    QComboBox *drives() const { return m_drives; }
    QTreeWidget *folders() const { return m_folders; }
    QListWidget *files() const { return m_files; }

    // The folder of the tree and of the file list: absolute, no final
    // separator except for a root.
    QString folder() const { return m_folder; }
    // Opens a folder. A folder that is missing or cannot be read changes
    // nothing and gives false.
    bool setFolder(const QString &path);
    // Opens the highlighted entry of the tree (double-click, Enter).
    void openHighlighted();
    // Makes file row the current one, which reports it as chosen.
    void selectFile(int row);

signals:
    void folderChanged(const QString &folder);
    void fileClicked(const QString &name);
    void fileDoubleClicked(const QString &name);
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

// The file that a path names for the user: the path itself when it exists;
// otherwise, where letter case matters, a file of the same folder whose name
// differs only in case (the first in name order), which the file list shows
// under that name; otherwise the path unchanged.
QString existingFileIgnoringCase(const QString &path);

// The look shared by the two dialogs: twips placed as pixels (15 to the
// pixel), light grey background, dark blue labels.
namespace dialoglook
{

inline const QColor kGrey(192, 192, 192);
inline const QColor kBlue(0, 0, 128);

QRect twips(int left, int top, int width, int height);
// The dialogs' sans-serif face at a size in points.
QFont font(qreal points);
// Fixed client size, grey background, 8-point text.
void setUp(QWidget *dialog, int widthTwips, int heightTwips);
QLabel *label(QWidget *parent, const QString &name, const QString &text, const QRect &geometry);
// Removes the blanks (spaces only) at both ends.
QString trimBlanks(const QString &text);

} // namespace dialoglook
