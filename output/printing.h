#pragma once
// The print dialog `confimp` and the printed page: the title, the picture of
// the schematic, the picture of the graph and the legend of the stored curves,
// laid out in twips (1/1440 inch) as on the screen at 15 twips per pixel.
#include <QDialog>
#include <QImage>
#include <QPrinter>
#include <QString>
#include <QStringList>
#include <functional>

class Feuille;
class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPagedPaintDevice;
class QPainter;
class QToolButton;
class UpDown;

namespace graph
{
struct CurveStore;
struct GraphPicture;
} // namespace graph

namespace output
{

// Twips per screen pixel: pictures are printed at their natural size.
constexpr int kTwipsPerPixel = 15;

// What every printed page shows.
struct PageContent {
    QString title;
    QImage schema; // null when the schematic is not printed
    QImage graph;  // null when the graph is not printed
    // The graph drawn again as vectors, in place of its image, when given.
    const graph::GraphPicture *graphPicture = nullptr;
    const graph::CurveStore *store = nullptr; // the legend's curves, under the graph
    QStringList names;                        // the solution list texts
    bool wavelengthGraph = true;              // absorbance against wavelength
};

// Prints `copies` identical pages in one job onto a printer or a PDF writer.
// Returns false when the device could not be opened.
bool printPages(QPagedPaintDevice &device, const PageContent &content, int copies);

// Where a long legend goes on: a curve that would cross `bottom` (twips) is
// printed at the top of a new page. Without newPage the legend runs on.
struct PageBreak {
    double bottom = 0;
    std::function<void()> newPage;
};

// One copy, on a painter whose window is the page in twips (width w, height
// h): one page, more only when the legend does not fit.
void printPage(QPainter &p, double w, double h, const PageContent &content,
               const std::function<void()> &newPage = {});

// The curve legend (`rappoprint`) with its left edge at x twips, starting at
// line y; returns the line after it.
double rappoprint(QPainter &p, double x, double y, const graph::CurveStore &store,
                  const QStringList &names, bool wavelengthGraph, const PageBreak &pageBreak = {});

// Printed below the legend by other subsystems: draws from line y at left
// edge x (twips) and returns the line after it.
extern std::function<double(QPainter &p, double x, double y, const PageBreak &pageBreak)>
    printAfterLegend;

// Name of the PDF file to print into when the printer is the PDF output and
// no file was chosen yet; empty to cancel. Unset, a file dialog asks.
extern std::function<QString(QWidget *parent, const QString &proposed)> askPdfFileName;
// Printer set-up of "&Imprimantes": true when the user confirmed a choice.
// Unset, the standard print dialog is shown.
extern std::function<bool(QPrinter &printer, QWidget *parent)> setupPrinter;

// Text that `defaut` shows for a printer.
QString printerLabel(const QPrinter &printer);

class Confimp : public QDialog
{
    Q_OBJECT
public:
    Confimp(Feuille &f, const graph::CurveStore &store, QWidget *parent = nullptr);

    QPrinter &printer() { return m_printer; }
    // What the graph shows, printed as vectors; without it, the graph's image.
    const graph::GraphPicture *graphPicture = nullptr;

    QLabel *Label2 = nullptr;
    QLineEdit *defaut = nullptr;
    QGroupBox *Frame1 = nullptr;
    QLabel *Label5 = nullptr;
    QLineEdit *Text1 = nullptr;
    QCheckBox *Check1[3] = {nullptr, nullptr, nullptr};
    QLabel *Label3 = nullptr;
    QLabel *Label4 = nullptr;
    UpDown *UpDown1 = nullptr;
    QToolButton *command2 = nullptr;
    QToolButton *Command3 = nullptr;
    QToolButton *Command1 = nullptr;
    QFrame *Frame2 = nullptr;
    QLabel *Label1 = nullptr;

    // Places the dialog under the main window's top and shows the printer.
    void Form_Load();
    void command2_Click(); // "&Imprimantes"
    void Command3_Click(); // "&Annuler"
    void Command1_Click(); // "&OK"

private:
    Feuille &m_f;
    const graph::CurveStore &m_store;
    QPrinter m_printer;
};

} // namespace output
