#pragma once
// The main window's real instrument and extra samples: the "Appareil réel"
// mode with its settings bar, the blank, the transmittance, and the food dyes
// and mixture added after the fourteen solutions. Off at every start: the
// window is then exactly the ideal instrument's. Reached through the context
// menu of the schematic and of the solution panel.
#include "model/samples.h"
#include "schematic/schema.h"

#include <QObject>
#include <QString>
#include <optional>

class FeuilleP;
class QAction;
class QCheckBox;
class QDoubleSpinBox;
class QMenu;
class QPushButton;
class QSpinBox;
class QWidget;
class Surface;

class Appareil : public QObject
{
    Q_OBJECT
public:
    explicit Appareil(FeuilleP &f);
    ~Appareil() override;

    // State.
    const spectro::instrument::Settings &settings() const { return m_real; }
    const spectro::instrument::Blank &blank() const { return m_blank; }
    const spectro::Mixture &mixture() const { return m_mix; }
    bool extended() const { return m_extended; }

    // All of it, kept across a rebuild of the window (a change of zoom).
    struct State {
        spectro::instrument::Settings real;
        spectro::instrument::Blank blank;
        spectro::Mixture mix;
        bool extended = false;
    };
    State state() const { return {m_real, m_blank, m_mix, m_extended}; }
    // On a new window, before its settings: the list then holds the sample
    // that they name.
    void restore(const State &s);

    // Commands (the menu's, the bar's, and the tests').
    void setRealMode(bool on);
    void setSettings(const spectro::instrument::Settings &s); // brought into range
    void faireLeBlanc();
    void setExtended(bool on);
    void
    setMixture(const spectro::Mixture &m); // checked; the mixture's total into Text1 when shown
    void editMixture();                    // the composition dialog

    // Hooks of the main window's readout.
    std::optional<QColor> sampleColour() const;
    void realReading(float &absorbance, QString &readout);
    void drawMarks(Surface &s) const;
    bool blankValidNow() const;

    // Configuration records after the nine.
    QStringList extraRecords() const;
    bool applyExtraRecords(const QStringList &records);

    QMenu *menu() const { return m_menu; }
    QWidget *bar() const { return m_bar; }
    QPushButton *compositionButton() const { return m_composition; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void placeBar();
    void buildBar();
    void buildMenu();
    void syncWidgets();
    void selectionChanged();
    void refresh();
    spectro::CurveExtras capture(bool newCurve);
    void applyCurve(const spectro::CurveExtras &x);
    bool isMixtureSelected() const;

    FeuilleP &f;
    spectro::instrument::Settings m_real;
    spectro::instrument::Blank m_blank;
    spectro::Mixture m_mix = spectro::defaultMixture();
    bool m_extended = false;
    bool m_traceBaseline = false; // a wavelength trace started with the blank made
    QString m_transmittance;      // of the last real reading
    bool m_syncing = false;

    QMenu *m_menu = nullptr;
    QAction *m_realAction = nullptr, *m_blankAction = nullptr, *m_tAction = nullptr,
            *m_extendedAction = nullptr, *m_mixAction = nullptr;
    QWidget *m_bar = nullptr;
    QPushButton *m_blankButton = nullptr;
    QCheckBox *m_tBox = nullptr, *m_noiseBox = nullptr;
    QSpinBox *m_bandwidth = nullptr, *m_seed = nullptr;
    QDoubleSpinBox *m_stray = nullptr;
    QPushButton *m_composition = nullptr;
};
