--TEST--
Every RESP3 reply type from DEBUG PROTOCOL, converted under each option that shapes it
--EXTENSIONS--
kelvo
--FILE--
<?php
require __DIR__ . '/fake.inc';

$types = ['string', 'integer', 'double', 'bignum', 'null', 'array', 'set', 'map', 'attrib', 'push', 'verbatim',
          'true', 'false'];
$modes = [
    'default' => [],
    'literal' => [Kelvo\Kelvo::OPT_REPLY_LITERAL => true],
    'nullmb' => [Kelvo\Kelvo::OPT_NULL_MULTIBULK_AS_NULL => true],
    'plain' => [Kelvo\Kelvo::OPT_PHPREDIS_COMPATIBILITY => false],
];
$r = new Kelvo\Kelvo(kelvo_test_env('KELVO_TEST_HOST'), (int) kelvo_test_env('KELVO_TEST_PORT'));
foreach ($modes as $mode => $options) {
    $r->setOption(Kelvo\Kelvo::OPT_REPLY_LITERAL, false);
    $r->setOption(Kelvo\Kelvo::OPT_NULL_MULTIBULK_AS_NULL, false);
    $r->setOption(Kelvo\Kelvo::OPT_PHPREDIS_COMPATIBILITY, true);
    foreach ($options as $option => $value) {
        $r->setOption($option, $value);
    }
    foreach ($types as $type) {
        printf("%-7s %-8s %s\n", $mode, $type, json_encode($r->rawCommand('DEBUG', 'PROTOCOL', $type)));
    }
}

// A nil reply to a raw command that asks for one value, and to a command method.
$r->setOption(Kelvo\Kelvo::OPT_PHPREDIS_COMPATIBILITY, true);
$r->setOption(Kelvo\Kelvo::OPT_NULL_MULTIBULK_AS_NULL, false);
$r->del('missing');
echo 'raw GET of a missing key: ', json_encode($r->rawCommand('GET', 'missing')), "\n";
echo 'get of a missing key: ', json_encode($r->get('missing')), "\n";
$r->setOption(Kelvo\Kelvo::OPT_PHPREDIS_COMPATIBILITY, false);
echo 'get of a missing key, phpredis off: ', json_encode($r->get('missing')), "\n";
echo 'set, literal off: ', json_encode($r->set('k', 'v')), "\n";
$r->setOption(Kelvo\Kelvo::OPT_REPLY_LITERAL, true);
echo 'set, literal on: ', json_encode($r->set('k', 'v')), "\n";
?>
--EXPECT--
default string   "Hello World"
default integer  12345
default double   3.141
default bignum   "1234567999999999999999999999999999999"
default null     []
default array    [0,1,2]
default set      [0,1,2]
default map      [0,false,1,true,2,false]
default attrib   "Some real reply following the attribute"
default push     "Some real reply following the push reply"
default verbatim "This is a verbatim\nstring"
default true     true
default false    false
literal string   "Hello World"
literal integer  12345
literal double   3.141
literal bignum   "1234567999999999999999999999999999999"
literal null     []
literal array    [0,1,2]
literal set      [0,1,2]
literal map      [0,false,1,true,2,false]
literal attrib   "Some real reply following the attribute"
literal push     "Some real reply following the push reply"
literal verbatim "This is a verbatim\nstring"
literal true     true
literal false    false
nullmb  string   "Hello World"
nullmb  integer  12345
nullmb  double   3.141
nullmb  bignum   "1234567999999999999999999999999999999"
nullmb  null     null
nullmb  array    [0,1,2]
nullmb  set      [0,1,2]
nullmb  map      [0,false,1,true,2,false]
nullmb  attrib   "Some real reply following the attribute"
nullmb  push     "Some real reply following the push reply"
nullmb  verbatim "This is a verbatim\nstring"
nullmb  true     true
nullmb  false    false
plain   string   "Hello World"
plain   integer  12345
plain   double   3.141
plain   bignum   "1234567999999999999999999999999999999"
plain   null     null
plain   array    [0,1,2]
plain   set      [0,1,2]
plain   map      [false,true,false]
plain   attrib   "Some real reply following the attribute"
plain   push     "Some real reply following the push reply"
plain   verbatim "This is a verbatim\nstring"
plain   true     true
plain   false    false
raw GET of a missing key: false
get of a missing key: false
get of a missing key, phpredis off: null
set, literal off: true
set, literal on: "OK"
