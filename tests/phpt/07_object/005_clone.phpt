--TEST--
Clone: options and connection settings are copied, the availability zone and the link are not; a subclass stays itself and runs __clone and __destruct
--FILE--
<?php
use Kelvo\Kelvo;
$k = new Kelvo('127.0.0.1', 1, 0.0, 0.0, ['auth' => ['app', 'pw']]);
$k->setOption(Kelvo::OPT_SERIALIZER, Kelvo::SERIALIZER_PHP);
$k->setOption(Kelvo::OPT_PREFIX, 'p:');
$k->setOption(Kelvo::OPT_ALLOW_PATTERNS, ['a*']);
$k->setOption(Kelvo::OPT_MAX_RETRIES, 4);
$k->setOption(Kelvo::OPT_SCAN, Kelvo::SCAN_RETRY);
$k->setOption(110, 'az1');
$k->setOption(Kelvo::OPT_READ_TIMEOUT, 2.5);

$c = clone $k;
unset($k); // the clone owns its own references
foreach ([Kelvo::OPT_SERIALIZER, Kelvo::OPT_PREFIX, Kelvo::OPT_ALLOW_PATTERNS, Kelvo::OPT_MAX_RETRIES,
          Kelvo::OPT_SCAN, 110, Kelvo::OPT_READ_TIMEOUT] as $option) {
    echo $option, ": ", json_encode($c->getOption($option)), "\n";
}
var_dump($c->isConnected());
// The clone's patterns are its own once changed.
$d = clone $c;
$d->addAllowPatterns('b*');
echo json_encode($c->getOption(Kelvo::OPT_ALLOW_PATTERNS)), " ", json_encode($d->getOption(Kelvo::OPT_ALLOW_PATTERNS)), "\n";

class MyClient extends Kelvo {
    public $tag = 'mine';
    public function __clone() { echo "__clone ran\n"; }
    public function __destruct() { echo "__destruct ran for {$this->tag}\n"; }
}
$m = new MyClient();
$m->tag = 'changed';
$mc = clone $m;
echo get_class($mc), " ", $mc->tag, "\n";
$mc->tag = 'the clone';
unset($mc);
?>
--EXPECT--
1: 1
2: "p:"
102: ["a*"]
11: 4
4: 0
110: null
3: 2.5
bool(false)
["a*"] ["a*","b*"]
__clone ran
MyClient changed
__destruct ran for the clone
__destruct ran for changed
