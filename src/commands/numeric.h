/*
 * Numbers given by the caller for a request: scores, weights, increments, coordinates. A number
 * goes out as the number the caller meant, whatever its PHP type: an integer in decimal, a float
 * with 17 significant digits (never through `precision`), a string that spells a number as that
 * number (" 5" is 5). Anything else is no number, and a builder refuses it rather than send 0.
 * Engine side; no state.
 */
#ifndef KELVO_NUMERIC_H
#define KELVO_NUMERIC_H

#include "wire/command.h"

/* The number `value` holds (through a reference), as an IS_LONG or IS_DOUBLE zval in *out; false
 * for a value that is no number (booleans, null, arrays and objects included). */
bool kelvoReadNumeric(zval *value, zval *out);

/* Appends the number `value` holds; false, with nothing appended, when it holds none. */
bool kelvoCatNumeric(rrc *req, zval *value);

/* Appends the number `value` holds as a float, so integers too are written as floats are; false,
 * with nothing appended, when it holds none. */
bool kelvoCatNumericAsDouble(rrc *req, zval *value);

#endif
