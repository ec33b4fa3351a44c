#include "exercises/exofiles.h"

#include "common/msgbox.h"
#include "common/rtf.h"
#include "config/recordfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextDocument>
#include <QTextEdit>

namespace exo
{

std::function<bool(const QString &, QWidget *)> checkExtraRecords;
std::function<void(const QString &)> applyExtraRecords;

bool blank(const QString &text)
{
    for (const QChar ch : text) {
        if (ch != QLatin1Char(' '))
            return false;
    }
    return true;
}

QString folderOf(const QString &filePath)
{
    QString folder = QFileInfo(filePath).absolutePath();
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

bool readRecords(const QString &path, int first, int last, QStringList *texts)
{
    texts->clear();
    // A folder or a device is not a description file, and a pipe would block.
    if (!QFileInfo(path).isFile())
        return false;
    for (int n = first; n <= last; ++n) {
        QString text;
        if (!recordfile::readFileRecord(path, n, &text))
            return false;
        texts->append(text);
    }
    return true;
}

bool loadRtf(const QString &path, QTextEdit *box)
{
    if (!box || !QFileInfo(path).isFile())
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return false;
    file.close();
    // Tried on a scratch document first: a file that is not RTF must not
    // empty the box.
    QTextDocument trial;
    if (!rtf::read(data, &trial))
        return false;
    rtf::read(data, box->document());
    box->moveCursor(QTextCursor::Start);
    return true;
}

void lectureImpossible(QWidget *parent)
{
    msgbox::show(parent,
                 QStringLiteral("Vérifier:\r\n- le nom du fichier,\r\n- l'état du lecteur."),
                 QStringLiteral("Lecture impossible"), msgbox::Icon::Error);
}

void fichierAbsent(QWidget *parent, const QString &path)
{
    msgbox::show(parent,
                 QStringLiteral("Le fichier ") + QDir::toNativeSeparators(path) +
                     QStringLiteral(" est introuvable"),
                 QStringLiteral("Fichier absent"), msgbox::Icon::Error);
}

} // namespace exo
