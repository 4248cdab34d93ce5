--TEST--
A live reshard of 2,000 slots under SET, GET and MGET: no command fails and no write is lost
--EXTENSIONS--
kelvo
--FILE--
<?php
require __DIR__ . '/../inc/cluster.inc';
$c = KelvoTestCluster::start();
[$from, $to] = $c->primaries;
[$first, $last] = [0, 1999];

/* Keys of distinct slots: most in the moving range, some elsewhere. */
$keys = [];
$seen = [];
for ($i = 0; count($keys) < 240; $i++) {
    $slot = $c->keyslot("key:$i");
    if (isset($seen[$slot]) || (($slot < $first || $slot > $last) && count($keys) % 6 !== 0)) {
        continue;
    }
    $seen[$slot] = true;
    $keys[] = "key:$i";
}
$k = new Kelvo\Cluster(null, $c->seeds);
$expected = [];
foreach ($keys as $key) {
    $k->set($key, "0:$key");
    $expected[$key] = "0:$key";
}

$reshard = $c->moveSlotsInBackground($from, $to, $first, $last, 0, 20);
$errors = [];
$rounds = 0;
$wrong = 0;
do {
    $running = $reshard->running();
    $rounds++;
    foreach ($keys as $i => $key) {
        try {
            $value = "$rounds:$key";
            if ($k->set($key, $value) !== true) {
                $errors[] = "SET $key returned false";
                continue;
            }
            $expected[$key] = $value;
            $got = $k->get($key);
            if ($got !== $value) {
                $wrong++;
            }
            if ($i % 10 === 9) {
                $batch = array_slice($keys, $i - 9, 10);
                if ($k->mget($batch) !== array_map(fn($x) => $expected[$x], $batch)) {
                    $wrong++;
                }
            }
        } catch (Kelvo\Exception $e) {
            $errors[] = $e->getMessage();
        }
    }
} while ($running);
$movedKeys = $reshard->wait();
$c->waitOk();

var_dump(array_slice(array_unique($errors), 0, 5), $wrong, $rounds > 1, $movedKeys > 0);
var_dump($c->owner($first) === $to && $c->owner($last) === $to && $c->owner($last + 1) === $from);
/* Every last write is on the node that serves its slot now, through a new object as well. */
$lost = 0;
foreach ($keys as $key) {
    if ($c->must($c->owner($c->keyslot($key)), 'GET', $key) !== $expected[$key]) {
        $lost++;
    }
}
$fresh = new Kelvo\Cluster(null, $c->seeds);
var_dump($lost, $fresh->mget($keys) === array_values($expected));
echo "done\n";
?>
--EXPECT--
array(0) {
}
int(0)
bool(true)
bool(true)
bool(true)
int(0)
bool(true)
done
