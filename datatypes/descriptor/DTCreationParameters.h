/*
===============================================================================

	What an instance or an animation node is initialised from: the data
	descriptor it was described by, and one untyped pointer whose meaning
	belongs to the caller (the instance an animation node drives, for
	example). Neither is owned.

===============================================================================
*/
#ifndef DT_CREATION_PARAMETERS_H
#define DT_CREATION_PARAMETERS_H

class DTBaseInstanceDescriptor;

struct DTCreationParameters {
	DTBaseInstanceDescriptor *	mpoDescriptor;
	void *						mpoExtraCreationParams;
};

#endif
