--TEST--
Search queries on scripted replies: clauses in the server's order with the counts it reads, names in the key space, refusals that send nothing, and the map replies of current versions and arrays of older ones
--EXTENSIONS--
kelvo
--INI--
; the scripted server answers the handshake and commands only, not the cache's upkeep
kelvo.maxmemory=0
--FILE--
<?php
require __DIR__ . '/modules.inc';
use Kelvo\Kelvo;

$every = [
    'DIALECT' => 2, 'PARAMS' => ['lat' => 1.5, 'n' => 3], 'LIMIT' => [0, 10], 'SORTBY' => ['price', 'asc', 'withcount'],
    'PAYLOAD' => 'pl', 'EXPLAINSCORE' => true, 'SCORER' => 'BM25', 'EXPANDER' => 'SBSTEM', 'LANGUAGE' => 'german',
    'INORDER' => 1, 'TIMEOUT' => 0, 'SLOP' => 0, 'HIGHLIGHT' => ['FIELDS' => ['t'], 'TAGS' => ['<b>', '</b>', 'x']],
    'SUMMARIZE' => ['FIELDS' => ['t', 'u'], 'FRAGS' => 3, 'LEN' => 0, 'SEPARATOR' => '...', 'other' => 1],
    'RETURN' => ['title', 'c' => 'cost'], 'INFIELDS' => ['t'], 'INKEYS' => ['doc:1', 'doc:2'],
    'GEOFILTER' => ['loc', 13.361389, 38.1, 10, 'km'], 'FILTER' => ['price', 10, 100, 'qty', '(1', '+inf'],
    'WITHSORTKEYS' => true, 'WITHPAYLOADS' => true, 'WITHSCORES' => true, 'NOSTOPWORDS' => true, 'VERBATIM' => true,
    'NOCONTENT' => true, 'unknown' => 'x',
];
$aggregate = [
    'DIALECT' => 3, 'PARAMS' => ['lat', 1.5], 'WITHCURSOR' => ['COUNT' => 100, 'MAXIDLE' => 0], 'FILTER' => '@n>1',
    'LIMIT' => [5, 10], 'APPLY' => ['p2' => '@price*2'], 'SORTBY' => ['PROPERTIES' => ['@price' => 'desc', '@n' => 'ASC'], 'MAX' => 10, 'WITHCOUNT' => true],
    'GROUPBY' => ['PROPERTIES' => ['@brand'], 'REDUCE' => ['n' => ['COUNT_DISTINCT', '@id'], ['COUNT'], 'q' => ['QUANTILE', '@price', 0.5]]],
    'TIMEOUT' => 5, 'LOAD' => ['@a', '@b'], 'VERBATIM' => true,
];
$searchReply3 = '%3\r\n$13\r\ntotal_results\r\n:1\r\n$7\r\nresults\r\n*1\r\n%2\r\n$2\r\nid\r\n$7\r\np:doc:1\r\n$16\r\nextra_attributes\r\n%1\r\n$5\r\ntitle\r\n$4\r\ni:5;\r\n$7\r\nwarning\r\n*0\r\n';
$calls = [
    'search clause order' => ['*1\r\n:0\r\n', fn($k) => $k->ftSearch('idx', '@t:x', ['LIMIT' => [0, 10], 'NOCONTENT' => true, 'SORTBY' => ['price', 'desc']])],
    'search every option' => [$searchReply3, fn($k) => $k->ftSearch('idx', 'hello', $every)],
    'search RESP2 reply' => ['*3\r\n:1\r\n$7\r\np:doc:1\r\n*2\r\n$5\r\ntitle\r\n$4\r\ni:5;\r\n', fn($k) => $k->ftSearch('idx', '*', null)],
    'search flags off, empty lists' => ['*1\r\n:0\r\n', fn($k) => $k->ftSearch('idx', '*', ['NOCONTENT' => false, 'FILTER' => [], 'INKEYS' => [], 'RETURN' => [], 'HIGHLIGHT' => true, 'SUMMARIZE' => [], 'SORTBY' => ['price', 'foo', 'WITHCOUNT'], 'DIALECT' => 0])],
    'search sortby withcount' => ['*1\r\n:0\r\n', fn($k) => $k->ftSearch('idx', '*', ['SORTBY' => ['price', 'WITHCOUNT'], 'HIGHLIGHT' => ['TAGS' => ['<b>']]])],
    'search options list' => [null, fn($k) => $k->ftSearch('idx', '*', ['NOCONTENT'])],
    'search filter not triples' => [null, fn($k) => $k->ftSearch('idx', '*', ['FILTER' => ['price', 10]])],
    'search filter not array' => [null, fn($k) => $k->ftSearch('idx', '*', ['FILTER' => 'price'])],
    'search geofilter not fives' => [null, fn($k) => $k->ftSearch('idx', '*', ['GEOFILTER' => ['loc', 1, 2, 3]])],
    'search inkeys not array' => [null, fn($k) => $k->ftSearch('idx', '*', ['INKEYS' => 'a'])],
    'search return not array' => [null, fn($k) => $k->ftSearch('idx', '*', ['RETURN' => 'a'])],
    'search summarize frags text' => [null, fn($k) => $k->ftSearch('idx', '*', ['SUMMARIZE' => ['FRAGS' => '3']])],
    'search summarize list' => [null, fn($k) => $k->ftSearch('idx', '*', ['SUMMARIZE' => ['FIELDS']])],
    'search highlight tags' => [null, fn($k) => $k->ftSearch('idx', '*', ['HIGHLIGHT' => ['TAGS' => 'b']])],
    'search slop negative' => [null, fn($k) => $k->ftSearch('idx', '*', ['SLOP' => -1])],
    'search slop float' => [null, fn($k) => $k->ftSearch('idx', '*', ['SLOP' => 1.0])],
    'search timeout text' => [null, fn($k) => $k->ftSearch('idx', '*', ['TIMEOUT' => '5'])],
    'search language' => [null, fn($k) => $k->ftSearch('idx', '*', ['LANGUAGE' => 1])],
    'search sortby empty' => [null, fn($k) => $k->ftSearch('idx', '*', ['SORTBY' => []])],
    'search sortby integer' => [null, fn($k) => $k->ftSearch('idx', '*', ['SORTBY' => ['price', 5]])],
    'search sortby string' => [null, fn($k) => $k->ftSearch('idx', '*', ['SORTBY' => 'price'])],
    'search limit negative' => [null, fn($k) => $k->ftSearch('idx', '*', ['LIMIT' => [0, -1]])],
    'search limit one' => [null, fn($k) => $k->ftSearch('idx', '*', ['LIMIT' => [0]])],
    'search limit float' => [null, fn($k) => $k->ftSearch('idx', '*', ['LIMIT' => [0, 1.5]])],
    'search params list' => [null, fn($k) => $k->ftSearch('idx', '*', ['PARAMS' => ['lat', 1.5]])],
    'search dialect negative' => [null, fn($k) => $k->ftSearch('idx', '*', ['DIALECT' => -2])],
    'aggregate every option' => ['*2\r\n*2\r\n:1\r\n*2\r\n$6\r\n@brand\r\n$4\r\ni:5;\r\n:7\r\n', fn($k) => $k->ftAggregate('idx', '*', $aggregate)],
    'aggregate pairs and bare' => ['%1\r\n$7\r\nresults\r\n*0\r\n', fn($k) => $k->ftAggregate('idx', '*', ['PARAMS' => ['lat' => 1.5], 'WITHCURSOR' => true, 'SORTBY' => ['MAX' => 10], 'GROUPBY' => ['REDUCE' => [['COUNT']]], 'TIMEOUT' => 0])],
    'aggregate apply list' => [null, fn($k) => $k->ftAggregate('idx', '*', ['APPLY' => ['@price*2']])],
    'aggregate empty reducer' => [null, fn($k) => $k->ftAggregate('idx', '*', ['GROUPBY' => ['PROPERTIES' => ['@b'], 'REDUCE' => [[]]]])],
    'aggregate reducer not array' => [null, fn($k) => $k->ftAggregate('idx', '*', ['GROUPBY' => ['REDUCE' => ['COUNT']]])],
    'aggregate groupby list' => [null, fn($k) => $k->ftAggregate('idx', '*', ['GROUPBY' => [['@b']]])],
    'aggregate sort direction' => [null, fn($k) => $k->ftAggregate('idx', '*', ['SORTBY' => ['PROPERTIES' => ['@p' => 'up']]])],
    'aggregate sort property list' => [null, fn($k) => $k->ftAggregate('idx', '*', ['SORTBY' => ['PROPERTIES' => ['@p']]])],
    'aggregate sort max text' => [null, fn($k) => $k->ftAggregate('idx', '*', ['SORTBY' => ['MAX' => '10']])],
    'aggregate cursor count text' => [null, fn($k) => $k->ftAggregate('idx', '*', ['WITHCURSOR' => ['COUNT' => '5']])],
    'aggregate cursor list' => [null, fn($k) => $k->ftAggregate('idx', '*', ['WITHCURSOR' => [5]])],
    'aggregate load string' => [null, fn($k) => $k->ftAggregate('idx', '*', ['LOAD' => '@a'])],
    'aggregate timeout float' => [null, fn($k) => $k->ftAggregate('idx', '*', ['TIMEOUT' => 1.5])],
    'aggregate params string' => [null, fn($k) => $k->ftAggregate('idx', '*', ['PARAMS' => 'x'])],
    'cursor read' => ['*2\r\n*0\r\n:0\r\n', fn($k) => $k->ftCursor('read', 'idx', 7, ['COUNT' => '5', 'x' => 1])],
    'cursor del' => ['+OK\r\n', fn($k) => $k->ftCursor('DEL', 'idx', '7', ['COUNT' => 5, 9 => 'ignored'])],
    'cursor read options list' => [null, fn($k) => $k->ftCursor('READ', 'idx', '7', ['COUNT'])],
    'cursor unknown operation' => [null, fn($k) => $k->ftCursor('drop', 'idx', '7')],
    'profile' => ['%2\r\n$7\r\nResults\r\n*0\r\n$7\r\nProfile\r\n%1\r\n$4\r\nmode\r\n+done\r\n', fn($k) => $k->ftProfile('idx', 'aggregate', '*', true)],
    'profile RESP2' => ['*2\r\n*1\r\n:0\r\n*1\r\n+OK\r\n', fn($k) => $k->ftProfile('idx', 'Search', '@t:x')],
    'profile other command' => [null, fn($k) => $k->ftProfile('idx', 'explain', '*')],
    'spellcheck' => ['%1\r\n$4\r\nhelo\r\n*1\r\n%1\r\n$5\r\nhello\r\n,0.5\r\n', fn($k) => $k->ftSpellCheck('idx', 'helo', ['DISTANCE' => 2, 'TERMS' => ['include' => ['d1' => ['a', 'b']], 'exclude' => ['d2' => []], 'other' => 1], 'DIALECT' => 0])],
    'spellcheck RESP2' => ['*1\r\n*3\r\n$4\r\nTERM\r\n$4\r\nhelo\r\n*1\r\n*2\r\n$3\r\n0.5\r\n$5\r\nhello\r\n', fn($k) => $k->ftSpellCheck('idx', 'helo', ['DIALECT' => 2])],
    'spellcheck terms string' => [null, fn($k) => $k->ftSpellCheck('idx', 'helo', ['TERMS' => 'd'])],
    'spellcheck include string' => [null, fn($k) => $k->ftSpellCheck('idx', 'helo', ['TERMS' => ['INCLUDE' => 'd']])],
    'spellcheck exclude string' => [null, fn($k) => $k->ftSpellCheck('idx', 'helo', ['TERMS' => ['EXCLUDE' => 'd']])],
    'spellcheck dictionary list' => [null, fn($k) => $k->ftSpellCheck('idx', 'helo', ['TERMS' => ['INCLUDE' => [['a']]]])],
    'spellcheck terms not array' => [null, fn($k) => $k->ftSpellCheck('idx', 'helo', ['TERMS' => ['INCLUDE' => ['d' => 'a']]])],
    'spellcheck terms list' => [null, fn($k) => $k->ftSpellCheck('idx', 'helo', ['TERMS' => [['d' => []]]])],
    'spellcheck distance negative' => [null, fn($k) => $k->ftSpellCheck('idx', 'helo', ['DISTANCE' => -1])],
];
kelvo_module_calls($calls, [Kelvo::OPT_PREFIX => 'p:', Kelvo::OPT_SERIALIZER => Kelvo::SERIALIZER_PHP]);
?>
--EXPECT--
search clause order: [0]
  > FT.SEARCH p:idx @t:x NOCONTENT SORTBY price desc LIMIT 0 10
search every option: {"total_results":1,"results":[{"id":"p:doc:1","extra_attributes":{"title":"i:5;"}}],"warning":[]}
  > FT.SEARCH p:idx hello NOCONTENT VERBATIM NOSTOPWORDS WITHSCORES WITHPAYLOADS WITHSORTKEYS FILTER price 10 100 FILTER qty (1 +inf GEOFILTER loc 13.361389000000001 38.100000000000001 10 km INKEYS 2 p:doc:1 p:doc:2 INFIELDS 1 t RETURN 4 title cost AS c SUMMARIZE FIELDS 2 t u FRAGS 3 SEPARATOR ... HIGHLIGHT FIELDS 1 t TAGS <b> </b> SLOP 0 TIMEOUT 0 INORDER LANGUAGE german EXPANDER SBSTEM SCORER BM25 EXPLAINSCORE PAYLOAD pl SORTBY price asc WITHCOUNT LIMIT 0 10 PARAMS 4 lat 1.5 n 3 DIALECT 2
search RESP2 reply: [1,"p:doc:1",["title","i:5;"]]
  > FT.SEARCH p:idx *
search flags off, empty lists: [0]
  > FT.SEARCH p:idx * SUMMARIZE HIGHLIGHT SORTBY price
search sortby withcount: [0]
  > FT.SEARCH p:idx * HIGHLIGHT SORTBY price WITHCOUNT
search options list: false
  ! Option name is not specified
  > (nothing)
search filter not triples: false
  ! FILTER must contains 'field', 'min', 'max' triples
  > (nothing)
search filter not array: false
  ! FILTER must be array
  > (nothing)
search geofilter not fives: false
  ! GEOFILTER must contains 'field', 'lon', 'lat', 'radius', 'unit' fives
  > (nothing)
search inkeys not array: false
  ! INKEYS must be array
  > (nothing)
search return not array: false
  ! RETURN must be array
  > (nothing)
search summarize frags text: false
  ! FRAGS must be integer
  > (nothing)
search summarize list: false
  ! Option name is not specified
  > (nothing)
search highlight tags: false
  ! TAGS must be array
  > (nothing)
search slop negative: false
  ! SLOP must be non-negative integer
  > (nothing)
search slop float: false
  ! SLOP must be integer
  > (nothing)
search timeout text: false
  ! TIMEOUT must be non-negative integer
  > (nothing)
search language: false
  ! LANGUAGE must be string
  > (nothing)
search sortby empty: false
  ! Sort attribute is not specified
  > (nothing)
search sortby integer: false
  ! SORTBY option value must be string
  > (nothing)
search sortby string: false
  ! SORTBY must be array
  > (nothing)
search limit negative: false
  ! Limit value must be non-negative int
  > (nothing)
search limit one: false
  ! Limit 'first' and 'num' values must be specified
  > (nothing)
search limit float: false
  ! Limit value must be non-negative int
  > (nothing)
search params list: false
  ! PARAMS must contains 'name' 'value' pairs
  > (nothing)
search dialect negative: false
  ! DIALECT must be non-negative integer
  > (nothing)
aggregate every option: [[1,["@brand","i:5;"]],7]
  > FT.AGGREGATE p:idx * VERBATIM LOAD 2 @a @b TIMEOUT 5 GROUPBY 1 @brand REDUCE COUNT_DISTINCT 1 @id AS n REDUCE COUNT 0 REDUCE QUANTILE 2 @price 0.5 AS q SORTBY 4 @price desc @n ASC MAX 10 WITHCOUNT APPLY @price*2 AS p2 LIMIT 5 10 FILTER @n>1 WITHCURSOR COUNT 100 PARAMS 2 lat 1.5 DIALECT 3
aggregate pairs and bare: {"results":[]}
  > FT.AGGREGATE p:idx * WITHCURSOR PARAMS 2 lat 1.5
aggregate apply list: false
  ! APPLY 'key' and 'value' must be strings
  > (nothing)
aggregate empty reducer: false
  ! At least REDUCE function must be specified
  > (nothing)
aggregate reducer not array: false
  ! At least REDUCE function must be specified
  > (nothing)
aggregate groupby list: false
  ! Option name is not specified
  > (nothing)
aggregate sort direction: false
  ! Property value must be 'ASC' or 'DESC'
  > (nothing)
aggregate sort property list: false
  ! Property name is not specified
  > (nothing)
aggregate sort max text: false
  ! MAX value must be int
  > (nothing)
aggregate cursor count text: false
  ! WITHCURSOR option value must be int
  > (nothing)
aggregate cursor list: false
  ! WITHCURSOR option name is not specified
  > (nothing)
aggregate load string: false
  ! LOAD value must be array
  > (nothing)
aggregate timeout float: false
  ! TIMEOUT value must be int
  > (nothing)
aggregate params string: false
  ! PARAMS must be array
  > (nothing)
cursor read: [[],0]
  > FT.CURSOR read p:idx 7 COUNT 5
cursor del: true
  > FT.CURSOR DEL p:idx 7
cursor read options list: false
  ! Option name is not specified
  > (nothing)
cursor unknown operation: false
  ! Unknown operation 'drop'
  > (nothing)
profile: {"Results":[],"Profile":{"mode":"done"}}
  > FT.PROFILE p:idx aggregate LIMITED QUERY *
profile RESP2: [[0],["OK"]]
  > FT.PROFILE p:idx Search QUERY @t:x
profile other command: false
  ! Invalid command 'explain'
  > (nothing)
spellcheck: {"helo":[{"hello":0.5}]}
  > FT.SPELLCHECK p:idx helo DISTANCE 2 TERMS INCLUDE p:d1 a b TERMS EXCLUDE p:d2
spellcheck RESP2: [["TERM","helo",[["0.5","hello"]]]]
  > FT.SPELLCHECK p:idx helo DIALECT 2
spellcheck terms string: false
  ! Terms must be array
  > (nothing)
spellcheck include string: false
  ! TERMS INCLUDE must be array
  > (nothing)
spellcheck exclude string: false
  ! TERMS EXCLUDE must be array
  > (nothing)
spellcheck dictionary list: false
  ! Dictionary name is not specified
  > (nothing)
spellcheck terms not array: false
  ! Dictionary terms must be array
  > (nothing)
spellcheck terms list: false
  ! Option name is not specified
  > (nothing)
spellcheck distance negative: false
  ! DISTANCE must be non-negative integer
  > (nothing)