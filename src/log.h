/*
 * Logging: the normal logger and the async-signal-safe writer, both appending
 * to the file named by kelvo.loglevel/kelvo.logfile (configured once at
 * module start-up, off by default), and the crash report.
 */
#ifndef KELVO_LOG_H
#define KELVO_LOG_H

/* Opens the log named by the two start-up settings and fills the log fields of kelvoCfgVals. */
void kelvoLogSetup(const char *level, const char *file);
/* Closes the log at module shutdown (never standard output or error). */
void kelvoLogTeardown(void);

/* Installs the crash report on SIGSEGV, SIGBUS, SIGFPE and SIGILL, keeping the handlers it replaces. */
void kelvoCrashHandlersInstall(void);
/* Puts back the handlers kelvoCrashHandlersInstall replaced. */
void kelvoCrashHandlersRestore(void);

/* Writes the current backtrace to the log descriptor; nothing without a log. */
void kelvoLogBacktrace(void);

#endif
