#pragma once

#include <cstdint>

class QLineEdit;
class QWidget;

/// The step limit's line edit with a logarithmic slider beside it from 1 at the left end to max
/// at the right, centre in the middle (or, when centre is max, every decade as wide): moving the slider writes its value into the edit and
/// finishes the edit, as typing would; every text the edit shows puts the slider in its place.
/// The row is returned for the form; it owns the edit.
QWidget *withStepSlider(QLineEdit *edit, std::uint64_t max, std::uint64_t centre);
