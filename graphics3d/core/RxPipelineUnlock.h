/*
===============================================================================

	Unlocking a pipeline: resolving its graph once.

	The nodes are sorted topologically from the entry node, the super block
	is compacted, cluster dependencies are resolved into packet slots (see
	RxDependencies.h), the block is shrunk to what stays, and the nodes are
	initialised from the last to the first, then configured. A pipeline
	without nodes is only marked unlocked.

	Any failure leaves the pipeline locked with its nodes and their paths,
	and no node initialised. Errors {1, code}: 28 nodes left unsorted (a
	cycle), 34 a node other than the entry without input, 36 a bad entry
	point, 52 not locked, the dependency errors, 0x80000013 and 0x80000016.

===============================================================================
*/
#ifndef RX_PIPELINE_UNLOCK_H
#define RX_PIPELINE_UNLOCK_H

#include "graphics3d/core/RxPipelineTypes.h"

RxPipeline*	RxLockedPipeUnlock( RxPipeline* pipeline );

#endif
