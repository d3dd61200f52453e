// brimo/promises: promise forms of the asynchronous methods of every class.
import type * as brimo from '../index';
import type { AsyncMethodNames } from './api';

/** An SDK call that completed with a non-zero code. */
export declare class ParloError extends Error {
  constructor(method: string, code: number, message: string);
  readonly name: 'ParloError';
  /** The SDK's code. */
  readonly code: number;
  /** The method that was called, e.g. 'login'. */
  readonly method: string;
}

/** The name of each of the sixteen classes. */
export type ClassName = keyof AsyncMethodNames;
type Same<A, B> = [A] extends [B] ? ([B] extends [A] ? true : false) : false;
/** The class name of a wrapper type. */
export type ClassNameOf<T> = { [C in ClassName]: Same<T, InstanceType<(typeof brimo)[C]>> extends true ? C : never }[ClassName];

type Init<A extends unknown[]> = A extends [...infer I, unknown] ? I : never;
type Last<A extends unknown[]> = A extends [...unknown[], infer L] ? L : never;
/** What a completion callback delivers: its result, or undefined where it has none. */
type Delivered<C> = C extends (...args: infer P) => void
  ? P extends [number, string]
    ? undefined
    : P extends [number, string, infer R]
      ? R
      : P extends [number, string, (infer R)?]
        ? R | undefined
        : undefined
  : never;
/** The promise form of an asynchronous method: its arguments without the callback. */
export type PromiseForm<F> = F extends (...args: infer A) => unknown ? (...args: Init<A>) => Promise<Delivered<Last<A>>> : never;

/** A wrapper's promise form: its asynchronous methods return promises, the others are its own. */
export type Promised<T> = {
  readonly [K in keyof T]: K extends AsyncMethodNames[ClassNameOf<T>] ? PromiseForm<T[K]> : T[K];
} & { readonly wrapper: T };

/**
 * The promise form of a brimo wrapper. Asynchronous methods resolve with the
 * completion's result on code 0 and reject with a ParloError on any other code, or
 * with the error the call raised (a missing SDK object, a wrong argument).
 */
export declare function promised<T extends InstanceType<(typeof brimo)[ClassName]>>(wrapper: T): Promised<T>;
