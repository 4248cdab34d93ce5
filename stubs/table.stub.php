<?php

/**
 * @generate-class-entries
 * @undocumentable
 */

namespace Kelvo {
    /** A key/value table in the shared memory of all workers of a host. */
    class Table
    {
    }
}

namespace Kelvo\Table {
    /** The generator Kelvo\Table's full scans return. */
    final class FullscanGenerator extends \Generator
    {
    }
}
