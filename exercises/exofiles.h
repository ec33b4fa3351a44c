#pragma once
// What the exercise window and the exercise menu share: the records of an
// exercise description file, loading an RTF text into a rich text box, and the
// messages of the file operations.
#include <QString>
#include <QStringList>
#include <functional>

class QTextEdit;
class QWidget;

namespace exo
{

// Records of an exercise description file (".E35", and "kelvano.PEM").
enum Record {
    Statement = 1,
    StatementConfig = 2,
    Correction = 3,
    CorrectionConfig = 4,
    Difficulty = 5,
    Unused = 6,
    NotionsFirst = 7,
    NotionsLast = 10,
    Title = 11,
};

inline const QString kPattern = QStringLiteral("*.E35");
inline const QString kGettingStarted = QStringLiteral("kelvano.PEM");
inline const QString kCorrected = QStringLiteral("Exercice corrigé");
inline const QString kNotCorrected = QStringLiteral("Non corrigé");

// Empty or only spaces: a record that names nothing.
bool blank(const QString &text);

// The folder of a file, ending with "/".
QString folderOf(const QString &filePath);

// Reads records first..last of a description file into texts (index 0 is
// record first). False when the file cannot be read or a record is damaged.
bool readRecords(const QString &path, int first, int last, QStringList *texts);

// Replaces the content of box with the RTF file at path and puts the caret at
// the start. False, with the box untouched, when the file is missing, cannot
// be read or is not RTF.
bool loadRtf(const QString &path, QTextEdit *box);

// Records after the specified ones, read by other subsystems. Checked before
// anything of the exercise is applied (false stops the opening, after its own
// message) and applied once the exercise is open.
extern std::function<bool(const QString &e35Path, QWidget *parent)> checkExtraRecords;
extern std::function<void(const QString &e35Path)> applyExtraRecords;

// The messages of the exercise files.
void lectureImpossible(QWidget *parent);
// "Le fichier " + path + " est introuvable", path being cheminexo + the name.
void fichierAbsent(QWidget *parent, const QString &path);

} // namespace exo
