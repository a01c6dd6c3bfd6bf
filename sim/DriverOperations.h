/* The seven operations of the instrument's driver library, as the simulated instrument exports
   them with C linkage. Every operation answers one byte. Usable from C and C++. */
#ifndef TB_SIM_DRIVER_OPERATIONS_H
#define TB_SIM_DRIVER_OPERATIONS_H

#define TBSIM_EXPORT __attribute__((visibility("default")))

#ifdef __cplusplus
extern "C" {
#endif

/* Opens the instrument: 2 or 4 opened; 0 nothing there; anything else refused. */
TBSIM_EXPORT unsigned char InitUSB(void);
/* Closes the instrument; answers 1. */
TBSIM_EXPORT unsigned char CloseUSB(void);
/* Sends a command: byte 0 the command code, bytes 1-2 its parameter, high byte first. 1 = sent. */
TBSIM_EXPORT unsigned char SendServiceBuffer(unsigned char* buffer);
/* Fetches the instrument's reply to a write command into byte 0. 1 = fetched. */
TBSIM_EXPORT unsigned char CheckServiceBuffer(unsigned char* buffer);
/* Host to instrument: one data block of `length` bytes. 1 = sent. */
TBSIM_EXPORT unsigned char SendBulkBuffer(unsigned char* data, unsigned int length,
                                          unsigned int flags);
/* Instrument to host: fills `length` bytes. 1 = received. */
TBSIM_EXPORT unsigned char CheckBulkBuffer(unsigned char* data, unsigned int length,
                                           unsigned int flags);
/* 1 while the instrument is plugged in, 0 otherwise. */
TBSIM_EXPORT unsigned char USBStatus(void);

#ifdef __cplusplus
}
#endif

#endif
