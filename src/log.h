/*
 * Logging: the normal logger and the async-signal-safe writer, both appending
 * to the file named by kelvo.loglevel/kelvo.logfile (configured once at
 * module start-up, off by default), and the crash report.
 */
#ifndef KELVO_LOG_H
#define KELVO_LOG_H

/* Writes the current backtrace to the log descriptor; nothing without a log. */
void kelvoLogBacktrace(void);

#endif
