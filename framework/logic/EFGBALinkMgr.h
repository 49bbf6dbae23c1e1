/*
===============================================================================

	Link to a handheld console on a controller port. The engine controller
	creates one into gpoGBALinkMgr and initialises and terminates the
	global object goGBALinkMgr, which the handheld-link table uses.

	This console offers no link: the manager keeps its three word queues
	empty, accepts words to send without sending them and never delivers
	a word.

===============================================================================
*/
#ifndef EF_GBA_LINK_MGR_H
#define EF_GBA_LINK_MGR_H

#include "datatypes/base/DTTypes.h"
#include "datatypes/containers/DTVector.h"

class EFGBALinkMgr {
public:
	// Both return 1: there is nothing to start or stop.
	u32						Initialize();
	u32						Terminate();

	// Accepts a word to send: returns 1 and sends nothing.
	u32						AddQuickDataToSend( u32 data );
	// A received word for slot: returns 0 and writes nothing, since no
	// word ever arrives.
	u32						GetData( u32 * data, u8 slot );

private:
	DTVector<u32>			moSendQueue;
	DTVector<u32>			moQuickSendQueue;
	DTVector<u32>			moReceiveQueue;
};

extern EFGBALinkMgr*	gpoGBALinkMgr;
extern EFGBALinkMgr		goGBALinkMgr;

#endif
