#pragma once

#include "sim/host.h"

#include <QFrame>

#include <array>

class QLineEdit;

/// The variables panel frmvariables: the value fields that a run writes the live variables of
/// each step into, under their captions and headings.
class VariablesPanel : public QFrame
{
    Q_OBJECT

public:
    explicit VariablesPanel(QWidget *parent);

    using Fields = std::array<QLineEdit *, sim::fieldCount>;
    /// The value fields in the order of sim::Field.
    const Fields &fields() const { return fields_; }

private:
    Fields fields_{};
};
