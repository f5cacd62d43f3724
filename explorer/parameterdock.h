#pragma once

#include "scene/scene.h"

#include <QDockWidget>

#include <vector>

class NumberRow;
class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QVBoxLayout;

/// The parameters of the scene in a dock: the fixed masses, a group each with its weight,
/// radius, position and colour, with Add Mass and Delete; then the moving mass, the step limit,
/// the background and shading. Every change, a slider's included while it moves, is announced
/// at once.
class ParameterDock : public QDockWidget
{
    Q_OBJECT

public:
    explicit ParameterDock(QWidget *parent = nullptr);

    void setScene(const Scene &scene);
    const Scene &scene() const { return scene_; }
    /// Picks mass number mass (from 0) for Delete.
    void selectMass(int mass);

signals:
    void sceneChanged(const Scene &scene);
    /// Add Mass: the window knows where the view's centre is.
    void massWanted();

private:
    struct MassRows
    {
        QGroupBox *group;
        QRadioButton *pick;
        QPushButton *colour;
        std::vector<NumberRow *> numbers;
    };
    /// Groups for the scene's masses, a group added or removed at the end for each one more or
    /// fewer.
    void matchMasses();
    void addMassRows(int mass);
    NumberRow *addNumber(const ParameterInfo &p);
    QPushButton *addColour(int mass);
    QWidget *addStepLimit();
    void deleteSelected();
    void changed();
    void showScene();
    void paintColours();

    Scene scene_;
    int selected_ = 0;
    QVBoxLayout *massLayout_;
    QButtonGroup *picks_;
    std::vector<MassRows> masses_;
    QPushButton *add_;
    QPushButton *delete_;
    std::vector<NumberRow *> numbers_; ///< the moving mass's and every other not a fixed mass's
    QPushButton *background_;
    QLineEdit *stepLimit_;
    QCheckBox *shade_;
};
