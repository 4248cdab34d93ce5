<?php

/**
 * @generate-class-entries
 * @undocumentable
 */

namespace Kelvo {
    /**
     * Thrown for every failure the module reports as an exception. The code is
     * one of the KELVO_ERR_* numbers; the message reads
     * "<text> (<code name>; <source file>:<line>)". The parent is
     * RuntimeException (Exception when the engine has no RuntimeException).
     */
    class Exception extends \RuntimeException
    {
    }

    /** The type of a key, as TYPE reports it in phpredis mode. */
    enum KeyType: int
    {
        case NotFound = 0;
        case String = 1;
        case Set = 2;
        case List = 3;
        case Zset = 4;
        case Hash = 5;
        case Stream = 6;
        case Vectorset = 7;
    }
}
