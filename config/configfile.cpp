#include "config/configfile.h"

#include "common/feuille.h"
#include "common/msgbox.h"
#include "common/numfmt.h"
#include "common/updown.h"
#include "config/recordfile.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QStringList>

namespace config
{

QString windowTitle(const QString &path)
{
    // In the system's own spelling (backslashes on Windows).
    return QStringLiteral("Spectrophotométrie - ") + QDir::toNativeSeparators(path);
}

std::optional<QByteArray> configRecords(const Feuille &f, QString *error)
{
    const Controls &c = f.c;
    if (!c.Option1[0] || !c.Option1[1] || !c.Check1 || !c.Text2 || !c.HScroll1 || !c.UpDown1 ||
        !c.Combo1 || !c.Text1) {
        if (error)
            *error = QStringLiteral("contrôle absent");
        return std::nullopt;
    }
    const auto flag = [](const QAbstractButton *b) {
        return b->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
    };
    const QStringList texts = {kSignature,
                               flag(c.Option1[0]),
                               flag(c.Option1[1]),
                               flag(c.Check1),
                               c.Text2->text(),
                               numfmt::str(c.HScroll1->value()),
                               numfmt::str(c.UpDown1->value()),
                               numfmt::str(c.Combo1->currentIndex()),
                               c.Text1->text()};
    return recordfile::buildFile(texts + f.extraRecords(), error);
}

WaitCursor::WaitCursor()
{
    QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

WaitCursor::~WaitCursor()
{
    release();
}

void WaitCursor::release()
{
    if (m_active)
        QApplication::restoreOverrideCursor();
    m_active = false;
}

} // namespace config

namespace
{

QWidget *messageParent(Feuille &f, QWidget *dialog)
{
    if (dialog && dialog->isVisible())
        return dialog;
    return f.window();
}

void closeDialog(QWidget *w)
{
    if (!w)
        return;
    if (auto *d = qobject_cast<QDialog *>(w))
        d->accept();
    else
        w->close();
}

// Reads one record at a time, so a huge file costs no more than nine records.
class RecordReader
{
public:
    explicit RecordReader(QFile &file) : m_file(file), m_size(file.size()) {}

    // A record past the end reads as an empty text, as random access did; a
    // record cut inside its length or its text is a failure.
    bool read(int n, QString *text)
    {
        text->clear();
        const qint64 offset = qint64(n - 1) * recordfile::kRecordSize;
        if (offset >= m_size)
            return true;
        if (!m_file.seek(offset))
            return false;
        const QByteArray chunk = m_file.read(recordfile::kRecordSize);
        return recordfile::readRecord(chunk, 1, text) == recordfile::ReadStatus::Ok;
    }

private:
    QFile &m_file;
    qint64 m_size;
};

// Deselecting must be possible (record "0" for both buttons leaves none
// selected), but Qt refuses to clear the checked button of an exclusive set,
// so the exclusivity is lifted just for the change.
void setSelected(QAbstractButton *button, bool on)
{
    if (on || !button->isChecked()) {
        button->setChecked(on);
        return;
    }
    QButtonGroup *group = button->group();
    const bool groupExclusive = group && group->exclusive();
    const bool autoExclusive = button->autoExclusive();
    if (groupExclusive)
        group->setExclusive(false);
    button->setAutoExclusive(false);
    button->setChecked(false);
    button->setAutoExclusive(autoExclusive);
    if (groupExclusive)
        group->setExclusive(true);
}

int recordNumber(const QString &text)
{
    return numfmt::cint(numfmt::val(text));
}

// Sets the control of record n, whose own change handling then runs. False
// when the control is missing or refuses the value.
bool applyRecord(const Controls &c, int n, const QString &text)
{
    const bool selected = text == QLatin1String("1");
    switch (n) {
    case 2:
    case 3:
        if (!c.Option1[n - 2])
            return false;
        setSelected(c.Option1[n - 2], selected);
        return true;
    case 4:
        if (!c.Check1)
            return false;
        c.Check1->setChecked(selected);
        return true;
    case 5:
        if (!c.Text2)
            return false;
        c.Text2->setText(text);
        return true;
    case 6: {
        // QScrollBar clamps silently; an out-of-range position is an error here.
        const int v = recordNumber(text);
        if (!c.HScroll1 || v < c.HScroll1->minimum() || v > c.HScroll1->maximum())
            return false;
        c.HScroll1->setValue(v);
        return true;
    }
    case 7:
        return c.UpDown1 && c.UpDown1->setValue(recordNumber(text));
    case 8: {
        const int v = recordNumber(text);
        if (!c.Combo1 || v < -1 || v >= c.Combo1->count())
            return false;
        c.Combo1->setCurrentIndex(v);
        return true;
    }
    case 9:
        if (!c.Text1)
            return false;
        c.Text1->setText(text);
        return true;
    default:
        return false;
    }
}

} // namespace

bool ecrireConfig(Feuille &f, QWidget *saveDialog)
{
    config::WaitCursor wait;
    const QString path = f.nomfichier;
    // Everything is built before the disk is touched, and the file is
    // replaced in one step: a failure never leaves a half-written file.
    std::optional<QByteArray> data = config::configRecords(f);
    bool ok = data.has_value();
    if (ok) {
        const QFileInfo info(path);
        // The replace would go through a read-only file; refuse it as a write would fail.
        ok = !(info.exists() && !info.isWritable()) && recordfile::saveFile(path, *data);
    }
    if (!ok) {
        wait.release();
        QWidget *parent = messageParent(f, saveDialog);
        msgbox::show(parent, QStringLiteral("Ecriture impossible sur disque"),
                     QStringLiteral("Enregistrement impossible"), msgbox::Icon::Error);
        return false;
    }
    f.setCaption(config::windowTitle(path));
    closeDialog(saveDialog);
    return true;
}

bool chargeconfig(Feuille &f, QWidget *openDialog)
{
    // The caller's "Patience" notice must be on the screen while the file is read.
    if (openDialog && openDialog->isVisible())
        openDialog->repaint();
    const QString path = f.nomfichier;
    QWidget *parent = messageParent(f, openDialog);
    const auto readFailure = [&] {
        msgbox::show(parent, QStringLiteral("Lecture impossible sur disque"),
                     QStringLiteral("Erreur lors du chargement du fichier"), msgbox::Icon::Error);
        return false;
    };

    // Only regular files: a folder fails, and a pipe would block on opening.
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return readFailure();
    RecordReader reader(file);
    QString text;
    if (!reader.read(1, &text)) {
        file.close();
        return readFailure();
    }
    if (text != config::kSignature) {
        file.close();
        msgbox::show(parent, QStringLiteral("Ce fichier ne correspond pas à cette application"),
                     QStringLiteral("Fichier non valide"), msgbox::Icon::Error);
        return false;
    }
    // The records after the nine come first: the solution of record 8 may be
    // one that only they put in the list. What follows the nine in a file of
    // another origin is not ours to refuse: reading stops at what cannot be read.
    QStringList extra;
    for (int n = config::kRecordCount + 1;
         n <= config::kRecordCount + config::kExtraRecordCount && reader.read(n, &text); ++n)
        extra << text;
    if (!f.applyExtraRecords(extra)) {
        file.close();
        return readFailure();
    }
    // File order is the order of application: the pH is in its box before
    // the solution is chosen, the concentration comes last.
    for (int n = 2; n <= config::kRecordCount; ++n) {
        if (!reader.read(n, &text) || !applyRecord(f.c, n, text)) {
            file.close();
            return readFailure();
        }
    }
    file.close();

    // The list set to the position it already has runs no change handling,
    // so the spectrum is reloaded here from the boxes as they now stand.
    f.chargespectre();
    f.majafficheur();
    f.Command3_Click();
    closeDialog(openDialog);
    f.setCaption(config::windowTitle(path));
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    return true;
}
