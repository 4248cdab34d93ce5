<?php

/**
 * @generate-class-entries
 * @undocumentable
 */

namespace Kelvo {
    /**
     * A key/value table in the shared memory of all workers of a host, in named namespaces (the
     * namespace "" when none is named), with an optional time to live per key. It needs Kelvo's
     * shared cache (kelvo.maxmemory not 0); without it, or after the shared state was disabled
     * because a worker died holding a lock, every method warns and returns false.
     *
     * Values are copied: null, booleans, integers, floats and strings as they are, arrays and
     * objects serialized (igbinary when it is loaded, else PHP's serializer). Closures, resources
     * and objects whose serialization throws are refused.
     */
    class Table
    {
        /** The stored value; false when the namespace or key is missing or the key has expired. */
        public static function get(string $key, ?string $namespace = null): mixed {}

        /**
         * False when missing or expired; else [value, ["cached" => true, "length" => accounted
         * bytes of the item, or -1 when the value is null]].
         */
        public static function getWithMeta(mixed $key, ?string $namespace = null): false|array {}

        /**
         * Stores a value. $expire in seconds: at least 1 sets a time to live, 0 or less removes
         * it, null keeps the time to live of the value replaced. False with a warning for a value
         * that cannot be stored (the old value stays), false without one when memory is short.
         */
        public static function set(string $key, mixed $value, ?int $expire = null, ?string $namespace = null): bool {}

        /** Whether the key is present and not expired. */
        public static function exists(string $key, ?string $namespace = null): bool {}

        /** True when a key that had not expired was removed. */
        public static function delete(string $key, ?string $namespace = null): bool {}

        /** Whole seconds left, -1 without a time to live, false when missing or expired. */
        public static function ttl(string $key, ?string $namespace = null): false|int {}

        /** Keys of the namespace that have not expired; false when the namespace does not exist. */
        public static function count(?string $namespace = null): false|int {}

        /** Removes every key of the namespace, which stays listed; true also when there is none. */
        public static function clear(?string $namespace = null): bool {}

        /** Names of the live keys matching the fnmatch() pattern; false when the namespace does not exist. */
        public static function keys(mixed $pattern, ?string $namespace = null): false|array {}

        /** Accounted bytes of the namespace's keys; false when the namespace does not exist. */
        public static function memory(?string $namespace = null): false|int {}

        /** Namespace name => number of keys (expired ones not yet removed included). */
        public static function namespaces(): false|array {}

        /** Removes every namespace; the number of keys removed. */
        public static function clearAll(): false|int {}

        /**
         * A generator over all namespaces that yields arrays of live key names, at most $count at
         * a time when $count is greater than 0, matching the fnmatch() pattern $match when given.
         */
        public static function fullscan(mixed $match = null, int $count = 0): \Generator|false {}

        /** ["total_keys" => keys of all namespaces, "total_memory" => their accounted bytes]. */
        public static function stats(): false|array {}
    }
}

namespace Kelvo\Table {
    /** The generator Kelvo\Table::fullscan() returns; it cannot be cloned. */
    final class FullscanGenerator extends \Generator
    {
    }
}
