/* Requests started from a command id: the catalogue's ready command words. */
#include "wire/command.h"

#include "catalog/cmdinfo.h"
#include "runtime/fatal.h"

void kelvoRespCmdInitCmd(rrc *req, uint8_t flags, int32_t cmd)
{
    kelvoRespCmdInitEmpty(req, flags, cmd);
    kelvoRespCmdCatKw(req, cmd);
}

void kelvoRespCmdCatKw(struct rrc *rrc, int32_t cmd)
{
    kelvoAssert(rrc != NULL && rrc->pos == 0 && rrc->size > rrc->pos &&
                (cmd > REDIS_CMD_UNKNOWN && cmd < REDIS_CMD_MAX));
    const kelvoCommandString &word = kelvoCommandStrings[cmd];
    smart_string_appendl(&rrc->buffer, word.bulk, word.bulkLen);
    /* the data starts after "$<len>\r\n" and ends before the final CR LF */
    rrc->args[0] = {rrc->buffer.len - word.len - 2, word.len};
    rrc->pos = 1;
}

void kelvoRespCmdUpdateCmd(struct rrc *rrc, int32_t cmd)
{
    kelvoAssert(rrc != NULL);
    kelvoAssert(rrc->pos == 1);
    rrc->buffer.len = KELVO_RESP_RESERVE;
    rrc->head = KELVO_RESP_RESERVE;
    rrc->pos = 0;
    rrc->cmd = cmd;
    kelvoRespCmdCatKw(rrc, cmd);
}
