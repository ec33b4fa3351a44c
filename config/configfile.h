#pragma once
// Configuration files (".C12"): nine 128-byte records holding the settings of
// the instrument's controls, written from and applied to the main window.
//
//   1 "KELVANO"      4 Check1 "1"/"0"   7 UpDown1 " 2"
//   2 Option1(0)     5 Text2 (pH)       8 Combo1 index, "-1" for none
//   3 Option1(1)     6 HScroll1 " 550"  9 Text1 (concentration)
#include <QByteArray>
#include <QString>
#include <optional>

class Feuille;
class QWidget;

namespace config
{

inline const QString kSignature = QStringLiteral("KELVANO");
constexpr int kRecordCount = 9;
// Records after the nine read for the later additions (Feuille::extraRecords).
constexpr int kExtraRecordCount = 12;

// "Spectrophotométrie - " followed by the path.
QString windowTitle(const QString &path);

// The whole file, its texts taken from the controls in record order and each
// record padded to 128 bytes with zeros. Empty with a reason when a control is
// missing or a text cannot be stored (too long, outside Windows-1252).
std::optional<QByteArray> configRecords(const Feuille &f, QString *error = nullptr);

// The hourglass of a file operation. Released before any message box, so the
// user answers with the normal pointer.
class WaitCursor
{
public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;
    void release();

private:
    bool m_active = true;
};

} // namespace config

// Writes f.nomfichier, sets the title and closes saveDialog (when given).
// On failure shows "Ecriture impossible sur disque", leaves the dialog open
// and the previous file untouched (the file is replaced atomically).
bool ecrireConfig(Feuille &f, QWidget *saveDialog = nullptr);

// Loads f.nomfichier into the main window's controls, in record order, then
// refreshes the readout, clears the graph, closes openDialog and sets the
// title. Shows its own message and returns false on a wrong signature or a
// read failure; the records applied before a failure stay applied.
bool chargeconfig(Feuille &f, QWidget *openDialog = nullptr);
