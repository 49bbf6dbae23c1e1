/*
===============================================================================

	Debug lines manager (gpoLinesMgr), created by the engine controller.

	Its first member is the count of lines queued for the current frame,
	which the frame loop zeroes every running frame. Placeholder body:
	lines are not queued yet; Terminate frees the buffer and zeroes both
	count and capacity.

===============================================================================
*/
#ifndef EF_LINES_MGR_H
#define EF_LINES_MGR_H

#include "datatypes/base/DTTypes.h"
#include "framework/logic/api/LogicApiRecords.h"


class EFLinesMgr {
public:
							EFLinesMgr();
							~EFLinesMgr();

	void					AddLines( _LinesParams* lines );
	void					Terminate();

	// Lines queued this frame.
	u32						mui32LineCount;
	u32						mui32Capacity;
	_LinesParams*			mpoLines;
	void					Render();
};

extern EFLinesMgr*	gpoLinesMgr;

#endif
