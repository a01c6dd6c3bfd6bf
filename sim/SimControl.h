/* Control of the simulated instrument for tests and demonstrations: switch it on and off, choose
   its answers, make a chosen exchange fail, and read back every exchange the host made. Exported
   with C linkage beside the seven driver operations, so a test that loads the driver library at
   run time can reach them by name; tests linking the simulator directly call them as they are.

   The state after tbsim_reset (and when the library is first used) is the power-on state: present,
   closed, InitUSB answering 2, write replies 2, 5 A-scans, 3 bands and 2 maps announced, the signal
   model's content with seed 1; then the scenario file named by TOLLERBANK_SIM_SCENARIO, when set,
   is applied on top (see Scenario.h for its keys). */
#ifndef TB_SIM_CONTROL_H
#define TB_SIM_CONTROL_H

#include "sim/DriverOperations.h"

#ifdef __cplusplus
extern "C" {
#endif

/* The operations, as named in the call log and in failure rules. */
enum TbSimOperation {
    TBSIM_INIT_USB = 1,
    TBSIM_CLOSE_USB = 2,
    TBSIM_SEND_SERVICE_BUFFER = 3,
    TBSIM_CHECK_SERVICE_BUFFER = 4,
    TBSIM_SEND_BULK_BUFFER = 5,
    TBSIM_CHECK_BULK_BUFFER = 6,
    TBSIM_USB_STATUS = 7
};

/* Failure rules match calls made for any command when given this as the command. */
#define TBSIM_ANY_COMMAND (-1)

/* One call of a driver operation. */
typedef struct TbSimCall {
    int operation;           /* TbSimOperation */
    unsigned char command;   /* the command sent, or the one whose exchange was under way; 0 none */
    unsigned char paramHigh; /* the command's parameter bytes as sent */
    unsigned char paramLow;
    unsigned char reply;  /* CheckServiceBuffer: the reply byte handed back */
    unsigned int length;  /* bulk operations: the length asked for */
    unsigned int flags;   /* bulk operations: the third argument */
    unsigned char result; /* what the operation answered */
} TbSimCall;

TBSIM_EXPORT void tbsim_reset(void);

/* Plugging in (1) or pulling out (0). Pulling out closes the instrument; every later operation
   but CloseUSB and USBStatus fails until it is plugged in and opened again. */
TBSIM_EXPORT void tbsim_set_present(int present);
/* Whether InitUSB opened the instrument (and it has not been closed or pulled out since). */
TBSIM_EXPORT int tbsim_is_open(void);

/* What InitUSB answers while the instrument is present; only 2 and 4 open it. */
TBSIM_EXPORT void tbsim_set_init_answer(unsigned char answer);
/* The reply byte to the write commands 1 and 8; only 2 makes the instrument take a block. */
TBSIM_EXPORT void tbsim_set_reply(unsigned char reply);

/* Makes the nth call (1 = the next) of an operation fail. Calls are counted when they reach the
   instrument: the four transfer operations while it is open, InitUSB while it is present,
   CloseUSB and USBStatus always; unless command is TBSIM_ANY_COMMAND, only calls made for that
   command count. The failed call answers 0 and abandons the exchange under way. Answers 0, or -1
   for a bad operation or n = 0. */
TBSIM_EXPORT int tbsim_fail_call(int operation, unsigned int nth, int command);
/* The same, but at that call the instrument is pulled out (tbsim_set_present(0)). */
TBSIM_EXPORT int tbsim_unplug_at_call(int operation, unsigned int nth, int command);
TBSIM_EXPORT void tbsim_clear_failures(void);

/* The call log: every call of the seven operations since the last reset or clear, oldest first. */
TBSIM_EXPORT unsigned int tbsim_call_count(void);
/* Copies entry `index`; answers 0, or -1 when there is no such entry. */
TBSIM_EXPORT int tbsim_get_call(unsigned int index, TbSimCall* call);
TBSIM_EXPORT void tbsim_clear_log(void);

/* Configuration slot 1..20 as 256 raw bytes. Answer 0, or -1 for a bad slot or pointer. */
TBSIM_EXPORT int tbsim_get_slot(int slot, unsigned char* block256);
TBSIM_EXPORT int tbsim_set_slot(int slot, const unsigned char* block256);

/* The flash markup block as command 7 delivers it (256 bytes). The record counts it announces are
   the records the instrument serves. */
TBSIM_EXPORT void tbsim_get_markup(unsigned char* block256);
TBSIM_EXPORT void tbsim_set_markup(const unsigned char* block256);

/* Lays the memory out afresh for these record counts (occupied sizes follow the records' sizes)
   and keeps the firmware version. Counts above the memory's limits (60, 40, 40) are announced as
   given, which makes the markup invalid. */
TBSIM_EXPORT void tbsim_set_record_counts(unsigned int aScans, unsigned int bands,
                                          unsigned int maps);

/* Replaces the record content by the signal model's content made with this seed. */
TBSIM_EXPORT void tbsim_set_seed(unsigned int seed);
/* Model content made with this seed in which every map has the given shape (rows and columns
   5..40, samples 30..4095). Answers 0, or -1 for a shape outside those limits (nothing changes). */
TBSIM_EXPORT int tbsim_set_map_shape(unsigned int seed, unsigned int rows, unsigned int columns,
                                     unsigned int samples);

/* Applies a scenario file. Answers 0; the number of the first bad line (nothing is applied); or
   -1 when the file cannot be read. */
TBSIM_EXPORT int tbsim_load_scenario(const char* path);

#ifdef __cplusplus
}

#include <memory>

namespace sim {
class RecordSource;

/* Plugs a content provider into the shared instrument (tests that link the simulator directly;
   the signal model). The slots keep their contents; the markup is laid out afresh for its current
   counts. */
void setRecordSource(std::unique_ptr<RecordSource> source);
} // namespace sim
#endif

#endif
