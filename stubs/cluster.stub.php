<?php

/**
 * @generate-class-entries
 * @undocumentable
 */

namespace Kelvo {
    /** The cluster client. */
    class Cluster
    {
    }
}

namespace Kelvo\Cluster {
    /** The generator Kelvo\Cluster's full scans return. */
    final class FullscanGenerator extends \Generator
    {
    }
}
