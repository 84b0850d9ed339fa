#pragma once

#include "fields.h"

#include <QString>

#include <array>

class QWidget;

namespace telx5 {

class SettingsRecord;
class TextCodec;

// What the checks say of the values, on the boxes that hold them: a frame
// drawn inside the box's own place (solid red for an error, dashed amber for
// a warning), and the problems in the box's tooltip. The values themselves
// are never touched.
namespace CheckMarks {

// The control of each field, as the window binds them to the record.
using Controls = std::array<QWidget *, FieldCount>;

// Runs the checks on `record` and marks every box anew; the position box's
// tooltip also says what its report means. Only boxes whose mark or notes
// change are touched. A record without any value yet is not marked.
void show(const Controls &controls, const SettingsRecord &record, const TextCodec &codec);

// A box's tooltip shows its whole text when that is wider than the box, and
// the checks' notes below it; `wholeText` is empty when the text fits.
void setWholeText(QWidget *owner, const QString &wholeText);

} // namespace CheckMarks
} // namespace telx5
