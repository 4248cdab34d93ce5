<?php
// kelvo demo: what the module offers so far, against the server scripts/demo started.
$host = getenv('KELVO_DEMO_HOST') ?: '127.0.0.1';
$port = (int) (getenv('KELVO_DEMO_PORT') ?: 6379);

printf("kelvo %s loaded; server at %s:%d\n", phpversion('kelvo'), $host, $port);
foreach (ini_get_all('kelvo') ?: [] as $name => $entry) {
    printf("  %-40s %s\n", $name, $entry['local_value']);
}
