// libFuzzer entry point: an exercise description file of arbitrary bytes,
// previewed and opened by the exercise window, its correction shown and, as
// the getting-started file, opened from the exercise menu. Each input runs
// in a folder holding the shipped exercise files (the names it gives may be
// found) and in an empty folder (they are all missing).
#include "config/folderlists.h"
#include "exercises/fichexo.h"
#include "exercises/optionexo.h"
#include "mainwindow.h"

#include <QDirIterator>
#include <QFileInfo>
#include <QLabel>
#include <cstddef>
#include <cstdint>

namespace
{

const QString kName = QStringLiteral("x.E35");

// The shipped files sit in the scratch folder (the program's folder) and
// nothing in its sub-folder "vide".
void prepareFolders()
{
    const QDir scratch(fuzzenv::scratch());
    scratch.mkdir(QStringLiteral("vide"));
    QDirIterator it(QStringLiteral(SPECTRO_SOURCE_DATA_DIR),
                    {QStringLiteral("*.rtf"), QStringLiteral("*.C12")}, QDir::Files);
    while (it.hasNext()) {
        it.next();
        QFile::copy(it.filePath(), scratch.filePath(it.fileName()));
    }
}

// Browsing: the file chosen in the list, previewed, then opened.
void chooseAndOpen(FeuilleP &w, const QString &folder)
{
    fuzzenv::reset(w);
    const QString path = QDir(folder).filePath(kName);
    Fichexo form(w, &w);
    fuzzenv::check(form.lists().setFolder(folder), "the folder opens");
    form.choisir(kName);
    fuzzenv::check(form.selection() == path, "the selection is the file chosen");
    const bool opened = form.ouvrir();
    if (opened) {
        fuzzenv::check(w.c.fich->text() == path, "an opened exercise shows its path");
        fuzzenv::check(w.textemodif == 0, "an opened exercise is unchanged");
        fuzzenv::check(!w.c.supertext->isReadOnly(), "an opened statement is editable");
        fuzzenv::check(w.corrige == (form.Label2->text() == QStringLiteral("Exercice corrigé")),
                       "corrige follows the preview");
    }
    fuzzenv::checkWindow(w);
    if (opened) {
        Optionexo menu(w);
        menu.voirCorrection();
        fuzzenv::checkWindow(w);
    }
}

// The hand-off: the file opened without being shown or previewed.
void openHandedOver(FeuilleP &w, const QString &folder)
{
    fuzzenv::reset(w);
    Optionexo menu(w);
    menu.openExerciseFile(QDir(folder).filePath(kName));
    fuzzenv::checkWindow(w);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzzenv::mainWindow();
    prepareFolders();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    // Names that climb out of the exercise folder would let the run read the
    // whole machine; the program reads what it is given, so they are skipped.
    if (QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size))
            .contains(".."))
        return 0;
    // Choosing a file moves the current folder, where libFuzzer keeps its corpus.
    const QString current = QDir::currentPath();
    FeuilleP &w = fuzzenv::mainWindow();
    fuzzenv::writeInput(kName, data, size);
    fuzzenv::writeInput(QStringLiteral("vide/") + kName, data, size);
    const QString empty = QDir(fuzzenv::scratch()).filePath(QStringLiteral("vide"));
    chooseAndOpen(w, fuzzenv::scratch());
    openHandedOver(w, empty);
    if (size % 2 == 0) {
        chooseAndOpen(w, empty);
        openHandedOver(w, fuzzenv::scratch());
    }

    // The same bytes as the getting-started file of the program's folder.
    fuzzenv::reset(w);
    fuzzenv::writeInput(QStringLiteral("kelvano.PEM"), data, size);
    Optionexo menu(w);
    menu.priseEnMain();
    fuzzenv::checkWindow(w);
    QDir::setCurrent(current);
    return 0;
}
