--TEST--
Search index commands on scripted replies: schema fields in the order the server parses them, index options, names in the key space, refusals that send nothing, and replies never unserialized
--EXTENSIONS--
kelvo
--INI--
; the scripted server answers the handshake and commands only, not the cache's upkeep
kelvo.maxmemory=0
--FILE--
<?php
require __DIR__ . '/modules.inc';
use Kelvo\Kelvo;

$schema = [
    'title' => ['TYPE' => 'text', 'SORTABLE' => true, 'UNF' => true, 'WEIGHT' => 2, 'NOSTEM' => 1, 'PHONETIC' => 'dm:en'],
    'tag' => ['type' => 'TAG', 'SEPARATOR' => ',', 'CASESENSITIVE' => true, 'NOINDEX' => true, 'WITHSUFFIXTRIE' => 1],
    'price' => ['type' => 'numeric', 'AS' => 'p', 'UNF' => true, 'INDEXMISSING' => true],
    'v' => ['Type' => 'Vector', 'INDEXEMPTY' => 'yes'],
];
$options = ['on' => 'hash', 'PREFIX' => ['doc:', 'item:'], 'FILTER' => '@p>0', 'LANGUAGE' => 'english',
            'LANGUAGE_FIELD' => 'lang', 'SCORE' => 0.1, 'SCORE_FIELD' => 1, 'PAYLOAD_FIELD' => 'pl',
            'MAXTEXTFIELDS' => true, 'NOOFFSETS' => 1, 'TEMPORARY' => 60, 'NOHL' => true, 'NOFIELDS' => true,
            'NOFREQS' => true, 'STOPWORDS' => [], 'SKIPINITIALSCAN' => true, 'ON' => 'json', 'other' => [1]];
$calls = [
    'create' => ['+OK\r\n', fn($k) => $k->ftCreate('idx', $schema, $options)],
    'create plain' => ['+OK\r\n', fn($k) => $k->ftCreate('idx', ['t' => ['TYPE' => 'GEO']], ['MAXTEXTFIELDS' => 0, 'TEMPORARY' => 0, 'STOPWORDS' => ['a', 'b'], 'PREFIX' => []])],
    'create empty schema' => [null, fn($k) => $k->ftCreate('idx', [])],
    'create schema list' => [null, fn($k) => $k->ftCreate('idx', [['TYPE' => 'TEXT']])],
    'create field not array' => [null, fn($k) => $k->ftCreate('idx', ['t' => 'TEXT'])],
    'create no type' => [null, fn($k) => $k->ftCreate('idx', ['t' => ['SORTABLE' => true]], ['ON' => 'xml'])],
    'create unknown type' => [null, fn($k) => $k->ftCreate('idx', ['t' => ['TYPE' => 'geoshape']])],
    'create type not string' => [null, fn($k) => $k->ftCreate('idx', ['t' => ['TYPE' => 1]])],
    'create field option list' => [null, fn($k) => $k->ftCreate('idx', ['t' => ['TYPE' => 'TEXT', 'SORTABLE']])],
    'create negative weight' => [null, fn($k) => $k->ftCreate('idx', ['t' => ['TYPE' => 'TEXT', 'WEIGHT' => -1]])],
    'create float weight' => [null, fn($k) => $k->ftCreate('idx', ['t' => ['TYPE' => 'TEXT', 'WEIGHT' => 2.5]])],
    'create long separator' => [null, fn($k) => $k->ftCreate('idx', ['t' => ['TYPE' => 'TAG', 'SEPARATOR' => '::']])],
    'create alias not string' => [null, fn($k) => $k->ftCreate('idx', ['t' => ['TYPE' => 'TAG', 'AS' => 1]])],
    'create phonetic not string' => [null, fn($k) => $k->ftCreate('idx', ['t' => ['TYPE' => 'TEXT', 'PHONETIC' => true]])],
    'create ON xml' => [null, fn($k) => $k->ftCreate('idx', ['t' => ['TYPE' => 'TEXT']], ['ON' => 'xml'])],
    'create ON integer' => [null, fn($k) => $k->ftCreate('idx', ['t' => ['TYPE' => 'TEXT']], ['ON' => 1])],
    'create SCORE text' => [null, fn($k) => $k->ftCreate('idx', ['t' => ['TYPE' => 'TEXT']], ['SCORE' => '1'])],
    'create SCORE_FIELD text' => [null, fn($k) => $k->ftCreate('idx', ['t' => ['TYPE' => 'TEXT']], ['SCORE_FIELD' => 'x'])],
    'create PREFIX string' => [null, fn($k) => $k->ftCreate('idx', ['t' => ['TYPE' => 'TEXT']], ['PREFIX' => 'doc:'])],
    'create STOPWORDS string' => [null, fn($k) => $k->ftCreate('idx', ['t' => ['TYPE' => 'TEXT']], ['STOPWORDS' => 'a'])],
    'create FILTER array' => [null, fn($k) => $k->ftCreate('idx', ['t' => ['TYPE' => 'TEXT']], ['FILTER' => []])],
    'create TEMPORARY negative' => [null, fn($k) => $k->ftCreate('idx', ['t' => ['TYPE' => 'TEXT']], ['TEMPORARY' => -1])],
    'create options list' => [null, fn($k) => $k->ftCreate('idx', ['t' => ['TYPE' => 'TEXT']], ['NOHL'])],
    'alter' => ['+OK\r\n', fn($k) => $k->ftAlter('idx', ['f' => ['TYPE' => 'TAG', 'SORTABLE' => true]], true)],
    'alter no flag' => ['+OK\r\n', fn($k) => $k->ftAlter('idx', ['f' => ['TYPE' => 'TEXT']])],
    'alter two fields' => [null, fn($k) => $k->ftAlter('idx', ['f' => ['TYPE' => 'TAG'], 'g' => ['TYPE' => 'TAG']])],
    'alter no type' => [null, fn($k) => $k->ftAlter('idx', ['f' => []])],
    'aliasadd' => ['+OK\r\n', fn($k) => $k->ftAliasAdd('idx', 'al')],
    'aliasupdate' => ['+OK\r\n', fn($k) => $k->ftAliasUpdate('idx2', 'al')],
    'aliasdel' => ['+OK\r\n', fn($k) => $k->ftAliasDel('al')],
    'dictadd' => [':3\r\n', fn($k) => $k->ftDictAdd('d', 'a', 2, 1.5)],
    'dictdel' => [':1\r\n', fn($k) => $k->ftDictDel('d', 'a')],
    'dictdump RESP3 set' => ['~2\r\n$1\r\na\r\n$4\r\ni:5;\r\n', fn($k) => $k->ftDictDump('d')],
    'dictdump RESP2 array' => ['*1\r\n$1\r\na\r\n', fn($k) => $k->ftDictDump('d')],
    'dropindex' => ['+OK\r\n', fn($k) => $k->ftDropIndex('idx')],
    'dropindex with documents' => ['+OK\r\n', fn($k) => $k->ftDropIndex('idx', true)],
    'info RESP3 map' => ['%3\r\n$10\r\nindex_name\r\n$5\r\np:idx\r\n$8\r\nnum_docs\r\n:2\r\n$5\r\nstate\r\n+ready\r\n', fn($k) => $k->ftInfo('idx')],
    'info RESP2 array' => ['*4\r\n$10\r\nindex_name\r\n$5\r\np:idx\r\n$6\r\nstatus\r\n+OK\r\n', fn($k) => $k->ftInfo('idx')],
    'reply literal still off' => [null, fn($k) => $k->getOption(Kelvo::OPT_REPLY_LITERAL)],
    'synupdate' => ['+OK\r\n', fn($k) => $k->ftSynUpdate('idx', 'g1', ['a', 2], true)],
    'synupdate one term' => ['+OK\r\n', fn($k) => $k->ftSynUpdate('idx', 'g1', 'a')],
    'synupdate no terms' => [null, fn($k) => $k->ftSynUpdate('idx', 'g1', [])],
    'syndump RESP3 map' => ['%1\r\n$1\r\na\r\n*1\r\n$2\r\ng1\r\n', fn($k) => $k->ftSynDump('idx')],
    'syndump RESP2 array' => ['*2\r\n$1\r\na\r\n*1\r\n$2\r\ng1\r\n', fn($k) => $k->ftSynDump('idx')],
    'tagvals' => ['~1\r\n$4\r\ni:5;\r\n', fn($k) => $k->ftTagVals('idx', 'tag')],
    'explain' => ['$4\r\ni:5;\r\n', fn($k) => $k->ftExplain('idx', '@t:x', 2)],
    'explain null dialect' => ['$1\r\nx\r\n', fn($k) => $k->ftExplain('idx', '@t:x', null)],
    'explain negative dialect' => [null, fn($k) => $k->ftExplain('idx', '@t:x', -1)],
    'explaincli' => ['*2\r\n$9\r\nINTERSECT\r\n+OK\r\n', fn($k) => $k->ftExplainCli('idx', '@t:x')],
    'config get RESP3 map' => ['%4\r\n+TIMEOUT\r\n$3\r\n500\r\n+ON_TIMEOUT\r\n$6\r\nreturn\r\n+GC\r\n$4\r\ntrue\r\n$1\r\n0\r\n_\r\n', fn($k) => $k->ftConfig('Get', '*')],
    'config get RESP2 pairs' => ['*2\r\n*2\r\n$7\r\nTIMEOUT\r\n$3\r\n1.5\r\n*2\r\n$2\r\nGC\r\n$5\r\nfalse\r\n', fn($k) => $k->ftConfig('GET', '*', 'ignored')],
    'config get malformed' => ['%1\r\n+TIMEOUT\r\n:500\r\n', fn($k) => $k->ftConfig('get', 'TIMEOUT')],
    'config get not a pair' => ['*1\r\n$7\r\nTIMEOUT\r\n', fn($k) => $k->ftConfig('get', 'TIMEOUT')],
    'config set' => ['+OK\r\n', fn($k) => $k->ftConfig('set', 'TIMEOUT', 1.5)],
    'config set refused by status' => ['+Invalid value\r\n', fn($k) => [$k->ftConfig('SET', 'TIMEOUT', 'x'), $k->getLastError()]],
    'config set without value' => [null, fn($k) => $k->ftConfig('set', 'TIMEOUT')],
    'config unknown operation' => [null, fn($k) => $k->ftConfig('put', 'TIMEOUT', 1)],
];
kelvo_module_calls($calls, [Kelvo::OPT_PREFIX => 'p:', Kelvo::OPT_SERIALIZER => Kelvo::SERIALIZER_PHP]);
?>
--EXPECT--
create: true
  > FT.CREATE p:idx ON JSON PREFIX 2 p:doc: p:item: FILTER @p>0 LANGUAGE english LANGUAGE_FIELD lang SCORE 0.10000000000000001 SCORE_FIELD 1 PAYLOAD_FIELD pl MAXTEXTFIELDS NOOFFSETS TEMPORARY 60 NOHL NOFIELDS NOFREQS STOPWORDS 0 SKIPINITIALSCAN SCHEMA title TEXT NOSTEM PHONETIC dm:en WEIGHT 2 SORTABLE UNF tag TAG SEPARATOR , CASESENSITIVE WITHSUFFIXTRIE NOINDEX price AS p NUMERIC INDEXMISSING v VECTOR INDEXEMPTY
create plain: true
  > FT.CREATE p:idx STOPWORDS 2 a b SCHEMA t GEO
create empty schema: false
  ! Schema must contains at least one field
  > (nothing)
create schema list: false
  ! Field name is not specified
  > (nothing)
create field not array: false
  ! Field options must be array
  > (nothing)
create no type: false
  ! Field type must be specified
  > (nothing)
create unknown type: false
  ! Unknown field type 'geoshape'
  > (nothing)
create type not string: false
  ! TYPE value must be string
  > (nothing)
create field option list: false
  ! Option name is not specified
  > (nothing)
create negative weight: false
  ! WEIGHT value must be non-negative int
  > (nothing)
create float weight: false
  ! WEIGHT value must be non-negative int
  > (nothing)
create long separator: false
  ! SEPARATOR value must be a single character
  > (nothing)
create alias not string: false
  ! AS value must be string
  > (nothing)
create phonetic not string: false
  ! PHONETIC value must be string
  > (nothing)
create ON xml: false
  ! Invalid ON value
  > (nothing)
create ON integer: false
  ! ON value must be string
  > (nothing)
create SCORE text: false
  ! SCORE value must be float
  > (nothing)
create SCORE_FIELD text: false
  ! SCORE_FIELD value must be float
  > (nothing)
create PREFIX string: false
  ! PREFIX value must be array
  > (nothing)
create STOPWORDS string: false
  ! STOPWORDS value must be array
  > (nothing)
create FILTER array: false
  ! FILTER value must be string
  > (nothing)
create TEMPORARY negative: false
  ! TEMPORARY value must be non-negative integer
  > (nothing)
create options list: false
  ! Option name is not specified
  > (nothing)
alter: true
  > FT.ALTER p:idx SKIPINITIALSCAN SCHEMA ADD f TAG SORTABLE
alter no flag: true
  > FT.ALTER p:idx SCHEMA ADD f TEXT
alter two fields: false
  ! Schema must contains exactly one field
  > (nothing)
alter no type: false
  ! Field type must be specified
  > (nothing)
aliasadd: true
  > FT.ALIASADD p:al p:idx
aliasupdate: true
  > FT.ALIASUPDATE p:al p:idx2
aliasdel: true
  > FT.ALIASDEL p:al
dictadd: 3
  > FT.DICTADD p:d a 2 1.5
dictdel: 1
  > FT.DICTDEL p:d a
dictdump RESP3 set: ["a","i:5;"]
  > FT.DICTDUMP p:d
dictdump RESP2 array: ["a"]
  > FT.DICTDUMP p:d
dropindex: true
  > FT.DROPINDEX p:idx
dropindex with documents: true
  > FT.DROPINDEX p:idx DD
info RESP3 map: {"index_name":"p:idx","num_docs":2,"state":"ready"}
  > FT.INFO p:idx
info RESP2 array: ["index_name","p:idx","status","OK"]
  > FT.INFO p:idx
reply literal still off: false
  > (nothing)
synupdate: true
  > FT.SYNUPDATE p:idx g1 SKIPINITIALSCAN a 2
synupdate one term: true
  > FT.SYNUPDATE p:idx g1 a
synupdate no terms: false
  ! At least one term must be specified
  > (nothing)
syndump RESP3 map: {"a":["g1"]}
  > FT.SYNDUMP p:idx
syndump RESP2 array: ["a",["g1"]]
  > FT.SYNDUMP p:idx
tagvals: ["i:5;"]
  > FT.TAGVALS p:idx tag
explain: "i:5;"
  > FT.EXPLAIN p:idx @t:x DIALECT 2
explain null dialect: "x"
  > FT.EXPLAIN p:idx @t:x
explain negative dialect: false
  ! DIALECT must be non-negative integer
  > (nothing)
explaincli: ["INTERSECT","OK"]
  > FT.EXPLAINCLI p:idx @t:x
config get RESP3 map: {"TIMEOUT":500,"ON_TIMEOUT":"return","GC":true,"0":null}
  > FT.CONFIG Get *
config get RESP2 pairs: {"TIMEOUT":1.5,"GC":false}
  > FT.CONFIG GET *
config get malformed: false
  ! Malformed RESP reply: expected FT.CONFIG status/string pair
  > FT.CONFIG get TIMEOUT
config get not a pair: false
  ! Malformed RESP reply: expected FT.CONFIG status/string pair
  > FT.CONFIG get TIMEOUT
config set: true
  > FT.CONFIG set TIMEOUT 1.5
config set refused by status: [false,"Invalid value"]
  > FT.CONFIG SET TIMEOUT x
config set without value: false
  ! Value must be specified for SET operation
  > (nothing)
config unknown operation: false
  ! Unknown operation 'put'
  > (nothing)