--TEST--
Stream commands on a real server under a key prefix: XADD's field table (string, integer and list fields, packed values) and its nil for NOMKSTREAM, MAXLEN; XRANGE and XREVRANGE with COUNT; XTRIM with LIMIT and its warnings; XREAD with integer stream keys; XDEL; consumer groups (XGROUP operations, XREADGROUP, XACK, XPENDING, XCLAIM and XAUTOCLAIM with and without JUSTID, also in a pipeline, XINFO); refusals send nothing
--EXTENSIONS--
kelvo
--FILE--
<?php
require __DIR__ . '/../inc/servers.inc';
use Kelvo\Kelvo;

$k = new Kelvo(kelvo_test_env('KELVO_TEST_HOST'), (int) kelvo_test_env('KELVO_TEST_PORT'));
$k->select(15);
$k->setOption(Kelvo::OPT_PREFIX, 'b4st:');
$k->del('s', 't', 'tr', '7', 'none', 'new');
$raw = clone $k;
$raw->setOption(Kelvo::OPT_PREFIX, '');

echo "-- XADD\n";
var_dump($k->xadd('s', '1-1', ['f' => 'v', 5 => 'five', -1 => 'minus']));
var_dump($k->xadd('s', '1-2', ['x', 'y']), $k->xadd('s', '1-3', ['n' => 3.5]));
var_dump($k->xadd('none', '*', ['a' => 'b'], 0, false, true));
$k->setOption(Kelvo::OPT_NULL_MULTIBULK_AS_NULL, true);
var_dump($k->xadd('none', '*', ['a' => 'b'], 0, false, true), $raw->exists('b4st:none'));
$k->setOption(Kelvo::OPT_NULL_MULTIBULK_AS_NULL, false);
var_dump($k->xrange('s', '-', '+'));
$k->setOption(Kelvo::OPT_SERIALIZER, Kelvo::SERIALIZER_PHP);
var_dump($k->xadd('t', '2-1', ['arr' => [1, 2]]), $k->xrange('t', '-', '+'), $raw->xrange('b4st:t', '-', '+'));
$k->setOption(Kelvo::OPT_SERIALIZER, Kelvo::SERIALIZER_NONE);
var_dump($k->xadd('s', '1-4', ['a' => 'b'], 3), $k->xlen('s'));
$b = $k->getBytes()[0];
var_dump(@$k->xadd('s', '*', []), error_get_last()['message']);
var_dump(@$k->xadd('s', '*', ['a' => 'b'], 0, true), error_get_last()['message'], $k->getBytes()[0] - $b);

echo "-- XRANGE, XREVRANGE, XTRIM, XDEL\n";
var_dump(array_keys($k->xrange('s', '-', '+', 1)), array_keys($k->xrevrange('s', '+', '-', 2)));
var_dump($k->xadd('s', '1-5', ['a' => 'c']), $k->xdel('s', ['1-4', '9-9']), array_keys($k->xrange('s', '-', '+')));
foreach (['1-1', '1-2', '1-3', '1-4', '1-5'] as $id) {
    $k->xadd('tr', $id, ['i' => $id]);
}
var_dump($k->xtrim('tr', '1', true, false, 0), @$k->xtrim('tr', '1', true, false, -1), error_get_last()['message']);
var_dump($k->xtrim('tr', '1-3', false, true), @$k->xtrim('tr', '2', false, false, 10), error_get_last()['message']);
var_dump(array_keys($k->xrange('tr', '-', '+')));

echo "-- XREAD\n";
var_dump($k->xadd('7', '3-1', ['k' => 'v']));
var_dump($k->xread(['s' => '0', 7 => '0-0'], 10));
var_dump($k->xread(['s' => '$'], 1, 1));
var_dump(@$k->xread([]), error_get_last()['message']);

echo "-- consumer groups\n";
var_dump($k->xgroup('CREATE', 's', 'g', '0'), $k->xgroup('create', 'new', 'g2', '$', true, 0));
var_dump($raw->type('b4st:new'), $k->xgroup('createconsumer', 's', 'g', 'c0'));
var_dump(@$k->xgroup('CREATE', 's', 'g'), error_get_last()['message']);
var_dump(@$k->xgroup('REMOVE', 's'), error_get_last()['message']);
var_dump($k->xreadgroup('g', 'c1', ['s' => '>'], 1));
var_dump($k->xreadgroup('g', 'c1', ['s' => '>'], 0, null));
var_dump(@$k->xreadgroup('g', 'c1', ['s' => '>'], -1), error_get_last()['message']);
var_dump($k->xpending('s', 'g'));
var_dump(array_column($k->xpending('s', 'g', '-', '+', 10, 'c1', 0), 0));
var_dump($k->xclaim('s', 'g', 'c2', 0, ['1-5'], ['JUSTID', 'RETRYCOUNT' => 4]));
var_dump($k->xpending('s', 'g', '-', '+', 10, 'c2')[0][3]);
var_dump($k->xclaim('s', 'g', 'c3', 0, ['1-5'], ['IDLE' => 0]));
var_dump($k->xautoclaim('s', 'g', 'c4', 0, '0-0', 10, true));
var_dump($k->xautoclaim('s', 'g', 'c5', 0, '0-0', 1));
var_dump($k->pipeline()->xclaim('s', 'g', 'c6', 0, ['1-2'], ['JUSTID'])->xclaim('s', 'g', 'c6', 0, ['1-2'])->exec());
var_dump($k->xack('s', 'g', ['1-5', '1-3']), $k->xpending('s', 'g')[0]);
$info = $k->xinfo('STREAM', 's');
var_dump($info['length'], $info['last-generated-id']);
$full = $k->xinfo('STREAM', 's', 'FULL', 1);
var_dump(count($full['entries']), $full['groups'][0]['name']);
var_dump(count($k->xinfo('GROUPS', 's')), array_column($k->xinfo('CONSUMERS', 's', 'g'), 'name'));
var_dump(@$k->xinfo('STREAM', 's', null, 5), error_get_last()['message']);
var_dump($k->xgroup('SETID', 's', 'g', '0', true, 0), $k->xgroup('DELCONSUMER', 's', 'g', 'c0'));
var_dump($k->xgroup('DESTROY', 's', 'g'), $k->xgroup('destroy', 's', 'g'));
$k->del('s', 't', 'tr', '7', 'new');
?>
--EXPECT--
-- XADD
string(3) "1-1"
string(3) "1-2"
string(3) "1-3"
bool(false)
NULL
int(0)
array(3) {
  ["1-1"]=>
  array(3) {
    ["f"]=>
    string(1) "v"
    [5]=>
    string(4) "five"
    [-1]=>
    string(5) "minus"
  }
  ["1-2"]=>
  array(2) {
    [0]=>
    string(1) "x"
    [1]=>
    string(1) "y"
  }
  ["1-3"]=>
  array(1) {
    ["n"]=>
    string(3) "3.5"
  }
}
string(3) "2-1"
array(1) {
  ["2-1"]=>
  array(1) {
    ["arr"]=>
    array(2) {
      [0]=>
      int(1)
      [1]=>
      int(2)
    }
  }
}
array(1) {
  ["2-1"]=>
  array(1) {
    ["arr"]=>
    string(22) "a:2:{i:0;i:1;i:1;i:2;}"
  }
}
string(3) "1-4"
int(3)
bool(false)
string(57) "Kelvo\Kelvo::xadd(): Must pass at least one key and value"
bool(false)
string(64) "Kelvo\Kelvo::xadd(): Invalid MAXLEN argument or approximate flag"
int(0)
-- XRANGE, XREVRANGE, XTRIM, XDEL
array(1) {
  [0]=>
  string(3) "1-2"
}
array(2) {
  [0]=>
  string(3) "1-4"
  [1]=>
  string(3) "1-3"
}
string(3) "1-5"
int(1)
array(3) {
  [0]=>
  string(3) "1-2"
  [1]=>
  string(3) "1-3"
  [2]=>
  string(3) "1-5"
}
int(0)
int(0)
string(50) "Kelvo\Kelvo::xtrim(): LIMIT must be >= 0, ignoring"
int(2)
int(1)
string(74) "Kelvo\Kelvo::xtrim(): Cannot use LIMIT without approximate match, ignoring"
array(2) {
  [0]=>
  string(3) "1-4"
  [1]=>
  string(3) "1-5"
}
-- XREAD
string(3) "3-1"
array(2) {
  ["b4st:s"]=>
  array(3) {
    ["1-2"]=>
    array(2) {
      [0]=>
      string(1) "x"
      [1]=>
      string(1) "y"
    }
    ["1-3"]=>
    array(1) {
      ["n"]=>
      string(3) "3.5"
    }
    ["1-5"]=>
    array(1) {
      ["a"]=>
      string(1) "c"
    }
  }
  ["b4st:7"]=>
  array(1) {
    ["3-1"]=>
    array(1) {
      ["k"]=>
      string(1) "v"
    }
  }
}
array(0) {
}
bool(false)
string(56) "Kelvo\Kelvo::xread(): One or more Stream and ID required"
-- consumer groups
bool(true)
bool(true)
int(6)
int(1)
bool(false)
string(59) "Kelvo\Kelvo::xgroup(): 'CREATE' operation requires '3' args"
bool(false)
string(56) "Kelvo\Kelvo::xgroup(): Unknown XGROUP operation 'REMOVE'"
array(1) {
  ["b4st:s"]=>
  array(1) {
    ["1-2"]=>
    array(2) {
      [0]=>
      string(1) "x"
      [1]=>
      string(1) "y"
    }
  }
}
array(1) {
  ["b4st:s"]=>
  array(2) {
    ["1-3"]=>
    array(1) {
      ["n"]=>
      string(3) "3.5"
    }
    ["1-5"]=>
    array(1) {
      ["a"]=>
      string(1) "c"
    }
  }
}
bool(false)
string(55) "Kelvo\Kelvo::xreadgroup(): COUNT and BLOCK must be >= 0"
array(4) {
  [0]=>
  int(3)
  [1]=>
  string(3) "1-2"
  [2]=>
  string(3) "1-5"
  [3]=>
  array(1) {
    [0]=>
    array(2) {
      [0]=>
      string(2) "c1"
      [1]=>
      string(1) "3"
    }
  }
}
array(3) {
  [0]=>
  string(3) "1-2"
  [1]=>
  string(3) "1-3"
  [2]=>
  string(3) "1-5"
}
array(1) {
  [0]=>
  string(3) "1-5"
}
int(4)
array(1) {
  ["1-5"]=>
  array(1) {
    ["a"]=>
    string(1) "c"
  }
}
array(3) {
  [0]=>
  string(3) "0-0"
  [1]=>
  array(3) {
    [0]=>
    string(3) "1-2"
    [1]=>
    string(3) "1-3"
    [2]=>
    string(3) "1-5"
  }
  [2]=>
  array(0) {
  }
}
array(3) {
  [0]=>
  string(3) "1-3"
  [1]=>
  array(1) {
    ["1-2"]=>
    array(2) {
      [0]=>
      string(1) "x"
      [1]=>
      string(1) "y"
    }
  }
  [2]=>
  array(0) {
  }
}
array(2) {
  [0]=>
  array(1) {
    [0]=>
    string(3) "1-2"
  }
  [1]=>
  array(1) {
    ["1-2"]=>
    array(2) {
      [0]=>
      string(1) "x"
      [1]=>
      string(1) "y"
    }
  }
}
int(2)
int(1)
int(3)
string(3) "1-5"
int(1)
string(1) "g"
int(1)
array(7) {
  [0]=>
  string(2) "c0"
  [1]=>
  string(2) "c1"
  [2]=>
  string(2) "c2"
  [3]=>
  string(2) "c3"
  [4]=>
  string(2) "c4"
  [5]=>
  string(2) "c5"
  [6]=>
  string(2) "c6"
}
bool(false)
string(70) "Kelvo\Kelvo::xinfo(): Cannot pass a non-null argument after a NULL one"
bool(true)
int(0)
int(1)
int(0)
