#pragma once

#include <cstdint>

namespace drelvan {

class Form;

// A selection in either visible list: as soon as a name and a period are
// both selected, the pair is judged.
void List1_Click(Form& form, int16_t Index);

// Judges the selected name against the selected period, writes the verdict
// and takes both entries out of play, right or wrong.
void CheckPair(Form& form);

// "Чисти": empties the verdict box and deals every name and period of the key
// again.
void Command1_Click(Form& form, int16_t Index);

} // namespace drelvan
