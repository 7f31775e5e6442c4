#pragma once

#include <QString>

// Merge fields as word processors store them in RTF: the instruction "MERGEFIELD name",
// optionally quoted and followed by switches, and the placeholder result «name».
namespace MergeField {

// The column a MERGEFIELD instruction names; empty for any other instruction.
QString NameOf(const QString& instruction);

// The instruction that names the column; a name with blanks or quotes is quoted.
QString Instruction(const QString& name);

// What a design shows in place of the column's value: «name».
QString Placeholder(const QString& name);

} // namespace MergeField
