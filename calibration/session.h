#pragma once
// The calibration activity on the main window: the points measured with the
// instrument's settings, the chosen model, the unknown sample and its
// reading, and the hooks through which the graph, the readout, the copy
// menu, the printed page and the exercises see them.
#include "calibration/model.h"

#include <QObject>
#include <QPointer>
#include <functional>
#include <optional>

class FeuilleP;
class QPainter;
class QPushButton;

namespace calib
{

class Mesures;

class Session : public QObject
{
    Q_OBJECT
public:
    explicit Session(FeuilleP &w);
    ~Session() override;

    // Creates the session of a main window and connects it; once per window.
    static Session *install(FeuilleP &w);
    // The session of a main window, if installed.
    static Session *of(QObject *window);

    FeuilleP &window() { return m_w; }

    QVector<Point> points;
    Model model = Model::Origin;
    bool reading = true; // draw the reading construction

    struct Unknown {
        bool set = false;
        double c = 0; // mol/L, hidden
        int sol = -1; // solution list index of the sample
        bool fromExercise = false;
    } unknown;
    bool revealed = false;
    // Standards named by the open exercise (mol/L) and its stock solution.
    QVector<double> standards;
    double stock = 0;

    Fit currentFit() const { return fit(points, model); }
    // The measured unknown, if any.
    const Point *unknownPoint() const;
    // Concentration read on the line for the measured unknown.
    std::optional<double> unknownReading(QString *why = nullptr) const;

    // "Mesurer": the reading of the readout becomes a point. False when the
    // readout shows nothing (a concentration that does not read as a number).
    bool measure();
    void removePoint(int index);
    void clearPoints();
    void setModel(Model m);
    void setReading(bool on);

    // A new unknown of the selected solution, drawn in the graph's range
    // (u in [0, 1) picks it), or given by an exercise.
    void newUnknown(double u);
    void setUnknown(double c, int sol, bool fromExercise);
    // Puts the unknown in the cuvette (the concentration box shows
    // "inconnue") or takes it out again (the box gets its text back).
    void putUnknownInCuvette(bool on);
    bool unknownInCuvette() const;

    // Asks before points are dropped; true (and the points gone) on OK or
    // when there are none.
    bool confirmDropPoints();

    // Redraws the graph with its curves and the points.
    void redraw();
    void paint(QPainter &p) const;

    Table currentTable() const { return table(points, currentFit()); }
    void copyTable() const;
    // Writes the table as CSV; false when the file cannot be written.
    bool writeCsv(const QString &path) const;
    // The table printed below the legend; returns the next line (twips).
    double printTable(QPainter &p, double x, double y, double bottom,
                      const std::function<void()> &newPage) const;

    // The records of an exercise: checked before it is applied, then applied.
    bool checkExercise(const QString &e35Path, QWidget *parent);
    void applyExercise(const QString &e35Path);

    Mesures *mesures();
    void showMesures();
    QPushButton *mesurerButton() const { return m_button; }

    // What gives this session's state back to the session of a rebuilt
    // window (a change of zoom): points, model, unknown, the open "Mesures"
    // window and the answer typed in it.
    std::function<void(FeuilleP &)> carryOver() const;

    // Where to save the CSV; unset, a file dialog asks.
    static std::function<QString(QWidget *parent, const QString &proposed)> askCsvFileName;

signals:
    void changed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Carried {
        QVector<Point> points;
        Model model;
        bool reading;
        Unknown unknown;
        bool revealed;
        QVector<double> standards;
        double stock;
        QString savedConc;
    };
    void updateButton();
    void onText1Changed();
    QString readingText(const QString &text) const;
    FeuilleP &m_w;
    QPushButton *m_button = nullptr;
    QPointer<Mesures> m_mesures;
    QString m_savedConc; // the box's text while the unknown is in the cuvette
    bool m_wasIn = false;
    bool m_placed = false; // the "Mesures" window placed beside the main one
    std::optional<Exercise> m_pending;
};

} // namespace calib
