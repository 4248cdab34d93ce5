<?php

/**
 * @generate-class-entries
 * @undocumentable
 */

namespace Kelvo {
    /** The sentinel client. */
    class Sentinel
    {
    }
}
