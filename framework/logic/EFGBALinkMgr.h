/*
===============================================================================

	Link to a handheld console on a controller port. The engine controller
	creates one into gpoGBALinkMgr and initialises and terminates the
	global object goGBALinkMgr. Placeholder body: no link is ever made.

===============================================================================
*/
#ifndef EF_GBA_LINK_MGR_H
#define EF_GBA_LINK_MGR_H

#include "datatypes/base/DTTypes.h"

class EFGBALinkMgr {
public:
	u32						Initialize();
	void					Terminate();
};

extern EFGBALinkMgr*	gpoGBALinkMgr;
extern EFGBALinkMgr		goGBALinkMgr;

#endif
