<?php

/**
 * @generate-class-entries
 * @undocumentable
 */

namespace Kelvo {
    /**
     * The adaptive-cache settings of a client and, once the client is attached to
     * its server's shared cache, that endpoint's count-min sketch of key reads and
     * writes. Found in the adaptiveCache property of every client; the properties
     * mirror the settings (writing them changes nothing).
     */
    class AdaptiveCache
    {
        public bool $enabled = false;
        public string $status = "inactive";
        public int $width = 0;
        public int $depth = 0;
        public int $minEvents = 0;
        public float $minRatio = 0.0;
        public string $formula = "scaled";

        protected function __construct() {}

        /** The percentage of non-zero cells in the first $depth rows (every row when out of range); 0.0 while inactive. */
        public function loadFactor(int $depth = 1): false|float {}

        /** Clears the sketch: lazily by later counts, or at once when $async is false. False while inactive. */
        public function flush(bool $async = true): bool {}

        /** The key's counted reads and writes: ["reads" => n, "writes" => n]; false while inactive. */
        public function stats(string $key): false|array {}

        /** Adds $count reads (or writes) of the key; a count of 0 or less adds nothing. False while inactive. */
        public function incrBy(string $key, bool $write, int $count): bool {}

        /** The time of the last flush in seconds; 0.0 while inactive or never flushed. */
        public function lastFlush(): float {}
    }
}
