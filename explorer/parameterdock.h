#pragma once

#include "sliderscale.h"

#include "scene/scene.h"

#include <QDockWidget>

#include <functional>
#include <vector>

struct SceneParameter;
class QCheckBox;
class QFormLayout;
class QLineEdit;
class QPushButton;
class QSlider;
class QSpinBox;

/// The parameters of the scene in a dock, one row each, built from the parameter table: a
/// slider and a spin box for a number, a button for a colour, a check box for shading. Every
/// change, a slider's included while it moves, is announced at once.
class ParameterDock : public QDockWidget
{
    Q_OBJECT

public:
    explicit ParameterDock(QWidget *parent = nullptr);

    void setScene(const Scene &scene);
    const Scene &scene() const { return scene_; }

signals:
    void sceneChanged(const Scene &scene);

private:
    struct Number
    {
        const SceneParameter *parameter;
        QSlider *slider;
        QSpinBox *box;
        SliderScale scale;
    };
    struct Colour
    {
        const SceneParameter *parameter;
        QPushButton *button;
    };
    void addNumber(QFormLayout *form, const SceneParameter &p);
    void addColour(QFormLayout *form, const SceneParameter &p);
    void addStepLimit(QFormLayout *form, const SceneParameter &p);
    void changed();
    void showScene();

    Scene scene_;
    std::vector<Number> numbers_;
    std::vector<Colour> colours_;
    QLineEdit *stepLimit_ = nullptr;
    QCheckBox *shade_;
};
