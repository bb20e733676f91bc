// TFormMain: the launcher with one picture button per fractal window; closing it ends the application.
#pragma once

#include <QString>
#include <QWidget>

#include <cstdint>
#include <vector>

class QAction;
class QToolButton;

namespace window {
class LongJob;
}

// The question asked before quitting stops long jobs: "A picture is still
// being made. Stop it and quit?", and so on for movies and several jobs.
QString StopJobsQuestion(int pictures, int movies);

class TFormMain : public QWidget {
    Q_OBJECT
public:
    explicit TFormMain(QWidget* parent = nullptr);

    // The 24 fractal buttons, in the launcher's grid order.
    std::vector<QToolButton*> FractalButtons;
    QToolButton* SBMin = nullptr;
    QToolButton* SBMax = nullptr;

    // Open View… in the launcher's context menu (Ctrl+O): the view file opens
    // in its own window, as from a fractal window's File menu.
    QAction* MMOpenView = nullptr;
    void MMOpenViewClick();

    // The window's height when created, restored by SBMax.
    std::uint16_t FullHeight = 0;

    void FormCreate();
    // Stops every calculation and waits, processing events, until none runs.
    void FormClose();
    // While a window makes a picture or a movie, asks whether to stop it
    // and quit; Quit cancels every such job (none leaves a file). True when
    // the launcher may close.
    bool ConfirmStopLongJobs();
    std::vector<window::LongJob*> RunningLongJobs() const;
    void SBMinClick();
    void SBMaxClick();

    // Shows the window of a fractal button and brings it to the front.
    void FractalButtonClick(const QString& button);
    void SBMandelClick() { FractalButtonClick("SBMandel"); }
    void SBTamo1Click() { FractalButtonClick("SBTamo1"); }
    void SBTamo2Click() { FractalButtonClick("SBTamo2"); }
    void SBTamo3Click() { FractalButtonClick("SBTamo3"); }
    void SBTamo4Click() { FractalButtonClick("SBTamo4"); }
    void SBTamo5Click() { FractalButtonClick("SBTamo5"); }
    void SBJU1Click() { FractalButtonClick("SBJU1"); }
    void SBJU2Click() { FractalButtonClick("SBJU2"); }
    void SBJU3Click() { FractalButtonClick("SBJU3"); }
    void SBJU4Click() { FractalButtonClick("SBJU4"); }
    void SBJU5Click() { FractalButtonClick("SBJU5"); }
    void SBJU6Click() { FractalButtonClick("SBJU6"); }
    void SBJU7Click() { FractalButtonClick("SBJU7"); }
    void SBJU8Click() { FractalButtonClick("SBJU8"); }
    void SBJU9Click() { FractalButtonClick("SBJU9"); }
    void SBJU10Click() { FractalButtonClick("SBJU10"); }
    void SBJU11Click() { FractalButtonClick("SBJU11"); }
    void SBJU12Click() { FractalButtonClick("SBJU12"); }
    void SBAL1Click() { FractalButtonClick("SBAL1"); }
    void SBAL2Click() { FractalButtonClick("SBAL2"); }
    void SBAL3Click() { FractalButtonClick("SBAL3"); }
    void SBAL4Click() { FractalButtonClick("SBAL4"); }
    void SBAL5Click() { FractalButtonClick("SBAL5"); }
    void SBAL6Click() { FractalButtonClick("SBAL6"); }

signals:
    // The shutdown has finished; the application may end.
    void Closed();

protected:
    void closeEvent(QCloseEvent* e) override;
    // Dropped view files and Quillon pictures open their views.
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dropEvent(QDropEvent* e) override;

private:
    void SetOuterHeight(int outer);

    bool closing_ = false;
};
