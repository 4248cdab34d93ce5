<?php

/**
 * @generate-class-entries
 * @undocumentable
 */

namespace Kelvo {
    /* The cases take their values from Kelvo\Kelvo's REDIS_* constants. */
    require "client.stub.php";

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
        case NotFound = \Kelvo\Kelvo::REDIS_NOT_FOUND;
        case String = \Kelvo\Kelvo::REDIS_STRING;
        case Set = \Kelvo\Kelvo::REDIS_SET;
        case List = \Kelvo\Kelvo::REDIS_LIST;
        case Zset = \Kelvo\Kelvo::REDIS_ZSET;
        case Hash = \Kelvo\Kelvo::REDIS_HASH;
        case Stream = \Kelvo\Kelvo::REDIS_STREAM;
        case Vectorset = \Kelvo\Kelvo::REDIS_VECTORSET;
    }
}
