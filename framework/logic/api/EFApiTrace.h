/*
===============================================================================

	Name of the API table function that is running, for a debugger to
	read: a traced table function stores its name on entry and null
	before every return. The stores are plain ones, not a scoped guard,
	because some table functions leave by the logic stack's jump and a
	guard's destructor would be skipped. Nothing in the engine reads it.

===============================================================================
*/
#ifndef EF_API_TRACE_H
#define EF_API_TRACE_H

class EFApiTrace {
public:
	static const char *		mFuncName;
};

#endif
