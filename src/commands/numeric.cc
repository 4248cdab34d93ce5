/* Numbers given by the caller, read as the numbers they spell. */
#include "commands/numeric.h"

bool kelvoReadNumeric(zval *value, zval *out)
{
    ZVAL_DEREF(value);
    switch (Z_TYPE_P(value)) {
    case IS_LONG:
        ZVAL_LONG(out, Z_LVAL_P(value));
        return true;
    case IS_DOUBLE:
        ZVAL_DOUBLE(out, Z_DVAL_P(value));
        return true;
    case IS_STRING: {
        zend_long lval;
        double dval;
        switch (is_numeric_string(Z_STRVAL_P(value), Z_STRLEN_P(value), &lval, &dval, false)) {
        case IS_LONG:
            ZVAL_LONG(out, lval);
            return true;
        case IS_DOUBLE:
            ZVAL_DOUBLE(out, dval);
            return true;
        default:
            return false;
        }
    }
    default:
        return false;
    }
}

bool kelvoCatNumeric(rrc *req, zval *value)
{
    zval number;
    if (!kelvoReadNumeric(value, &number))
        return false;
    if (Z_TYPE(number) == IS_LONG)
        kelvoRespCmdCatZendLong(req, Z_LVAL(number));
    else
        kelvoRespCmdCatDouble(req, Z_DVAL(number));
    return true;
}

bool kelvoCatNumericAsDouble(rrc *req, zval *value)
{
    zval number;
    if (!kelvoReadNumeric(value, &number))
        return false;
    kelvoRespCmdCatDouble(req, Z_TYPE(number) == IS_LONG ? static_cast<double>(Z_LVAL(number)) : Z_DVAL(number));
    return true;
}
