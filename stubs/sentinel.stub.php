<?php

/**
 * @generate-class-entries
 * @undocumentable
 */

namespace Kelvo {
    /**
     * A client of one sentinel server: finds the current primary of a monitored group and steers
     * it. The constructor connects at once; the handshake (as client name "sentinel") happens at
     * the first command. Server error replies are recorded for getLastError() and the method
     * returns false, unless OPT_THROW_ON_ERR is set; authentication and permission errors are
     * always thrown as Kelvo\Exception.
     */
    class Sentinel
    {
        /**
         * Throw server error replies as Kelvo\Exception instead of recording them.
         * @var int
         * @cvalue KELVO_SENTINEL_OPT_THROW_ON_ERR
         */
        public const OPT_THROW_ON_ERR = UNKNOWN;
        /**
         * Accepted for compatibility; setOption() refuses it.
         * @var int
         * @cvalue KELVO_SENTINEL_OPT_AUTO_DISCOVER
         */
        public const OPT_AUTO_DISCOVER = UNKNOWN;

        /**
         * @param null|string|array $host a host name, address, tls:// URL or Unix socket path
         *        (127.0.0.1 when null); or, as the only argument, a connection array with "host",
         *        "port", "connectTimeout", "readTimeout", "retryInterval", "persistent" and "auth"
         * @param mixed $auth a password, or [user, password] (["user" => ..., "pass" => ...])
         * @param array|null $context "auth", "persistent" and the TLS keys ("stream" => [...])
         */
        public function __construct(
            null|string|array $host = null,
            int $port = 26379,
            float $timeout = 0,
            mixed $persistent = null,
            int $retry_interval = 0,
            float $read_timeout = 0,
            mixed $auth = null,
            ?array $context = null
        ) {}

        /** SENTINEL CKQUORUM: true when the sentinels can reach quorum and authorise a failover. */
        public function ckquorum(string $master): bool {}

        /** SENTINEL FAILOVER: starts a failover without asking the other sentinels; sent once, never again. */
        public function failover(string $master): bool {}

        /** SENTINEL FLUSHCONFIG: rewrites the sentinel's configuration file. */
        public function flushconfig(): bool {}

        /** SENTINEL GET-MASTER-ADDR-BY-NAME: [host, port] of the current primary, null for an unknown name. */
        public function getMasterAddrByName(string $master): array|false|null {}

        /** @implementation-alias Kelvo\Sentinel::getMasterAddrByName */
        public function getPrimaryAddrByName(string $master): array|false|null {}

        /** SENTINEL MASTER: the primary's fields as an associative array. */
        public function master(string $master): array|false {}

        /** @implementation-alias Kelvo\Sentinel::master */
        public function primary(string $master): array|false {}

        /** SENTINEL MASTERS: a list of every monitored primary's fields. */
        public function masters(): array|false {}

        /** @implementation-alias Kelvo\Sentinel::masters */
        public function primaries(): array|false {}

        /** SENTINEL MYID: the sentinel's id. */
        public function myid(): string|false {}

        /** PING: true, or the message echoed. */
        public function ping(?string $message = null): bool|string {}

        /** SENTINEL RESET: the number of primaries whose name matches the pattern and were reset; sent once, never again. */
        public function reset(string $pattern): int|false {}

        /** SENTINEL SENTINELS: the other sentinels that monitor the primary. */
        public function sentinels(string $master): array|false {}

        /** SENTINEL SLAVES: the primary's replicas. */
        public function slaves(string $master): array|false {}

        /** The last server error reply recorded, or null. */
        public function getLastError(): ?string {}

        /** Only OPT_THROW_ON_ERR can be set. */
        public function setOption(int $option, mixed $value): bool {}

        public function getOption(int $option): mixed {}
    }
}
