/*
 * The administration commands whose first argument is a subcommand: CONFIG, CLIENT, CLUSTER,
 * COMMAND, SCRIPT, SLOWLOG and ACL. Each appender checks the number of further arguments
 * (and for a few subcommands their values) that its subcommand accepts, then appends the
 * subcommand in the caller's text and the further arguments as plain text, and notes the form
 * sent in the request's context byte for the row's reply formatter. The single-server client
 * reaches them through its builders; the cluster client calls them with its own parsing of a
 * leading node argument.
 *
 * An appender answers 0, or -1 after one E_WARNING: then the request must not be sent.
 * Nothing here owns anything; engine side, one request, no lock.
 */
#ifndef KELVO_ADMIN_H
#define KELVO_ADMIN_H

#include "wire/command.h"

#include <cstdint>

/* Context bytes of CLIENT requests, read by its reply formatter. */
constexpr uint8_t kelvoClientList = 0x1;
constexpr uint8_t kelvoClientCapa = 0x2;
constexpr uint8_t kelvoClientInfo = 0x4;
constexpr uint8_t kelvoClientCapaRedirect = 0x8;

/* (request holding the command word, subcommand, number of further arguments, the arguments) */
int kelvoRespConfigCmd(rrc *req, zend_string *subcommand, uint32_t argc, zval *args);
int kelvoRespClientCmd(rrc *req, zend_string *subcommand, uint32_t argc, zval *args);
int kelvoRespClusterCmd(rrc *req, zend_string *subcommand, uint32_t argc, zval *args);
int kelvoRespCommandCmd(rrc *req, zend_string *subcommand, uint32_t argc, zval *args);
int kelvoRespScriptCmd(rrc *req, zend_string *subcommand, uint32_t argc, zval *args);
int kelvoRespSlowLogCmd(rrc *req, zend_string *subcommand, uint32_t argc, zval *args);
int kelvoRespAclCmd(rrc *req, zend_string *subcommand, uint32_t argc, zval *args);

/*
 * rawCommand's guard for command `cmd` with its arguments: false, after an E_WARNING, for the
 * forms that would leave the link unusable (CLIENT TRACKING, which the client manages itself;
 * CLIENT REPLY OFF or SKIP, after which no reply comes; SCRIPT DEBUG YES or SYNC, after which
 * replies follow the debugger's protocol). True for anything else.
 */
bool kelvoRawCommandKeepsLink(int32_t cmd, uint32_t argc, zval *args);
/* CLIENT subcommands after which a link must not be handed on: its name, reply mode, tracking or flags changed. */
bool kelvoClientSubcommandChangesLink(const zend_string *subcommand);

#endif
